// libFuzzer target: any bytes as a file for the XML reader. Besides the sanitizers, checks that
// the index it builds stays inside the text and its links stay inside the index.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "i18n/XmlDocument.h"
#include "testing/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace n640;
    using testing::FuzzCheck;
    static CXmlDocument doc;  // kept between inputs, as the program keeps its pages
    doc.LoadBytes(std::string_view(reinterpret_cast<const char*>(data), size));

    const size_t length = doc.Text().size();
    const uint32_t count = doc.ElementCount();
    FuzzCheck(count >= 1);
    for (uint32_t i = 1; i < count; ++i) {
        const ElementRecord& r = doc.Element(i);
        FuzzCheck(r.start < length && r.start + static_cast<size_t>(r.length) <= length);
        FuzzCheck(r.parent < count && r.firstChild < count && r.nextSibling < count && r.prevSibling < count);
        FuzzCheck(r.firstChild != i && r.nextSibling != i);
        FuzzCheck(r.nextSibling == 0 || doc.Element(r.nextSibling).parent == r.parent);
        FuzzCheck(!doc.ElementName(i).empty());
    }

    // The lookups the program makes, and a walk over every element's text.
    LookupText(doc, u"config", u"str_ok");
    LookupText(doc, u"", u"");
    doc.ResetPosition();
    size_t steps = 0;
    while (doc.FindChildElement() && steps++ < 100000) {
        doc.ChildText();
        if (!doc.EnterElement()) break;
    }
    return 0;
}
