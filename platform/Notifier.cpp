#include "platform/Notifier.h"

namespace n640 {

std::u16string FormatMessageText(std::u16string_view format, std::u16string_view arg) {
    std::u16string out;
    out.reserve(format.size() + arg.size());
    bool argUsed = false;
    for (size_t i = 0; i < format.size(); ++i) {
        const char16_t c = format[i];
        if (c == u'%' && i + 1 < format.size()) {
            const char16_t next = format[i + 1];
            if (next == u'%') {
                out.push_back(u'%');
                ++i;
                continue;
            }
            if (next == u's' && !argUsed) {
                out.append(arg);
                argUsed = true;
                ++i;
                continue;
            }
        }
        out.push_back(c);
    }
    return out;
}

int CTextNotifier::ShowInfo(std::u16string_view text, InfoButtons, bool) {
    if (sink_) sink_(u"Tips", text);
    return kInfoOk;
}

void CTextNotifier::ShowSystemInfo(std::u16string_view text, WindowRef) {
    if (sink_) sink_(u"Info", text);
}

} // namespace n640
