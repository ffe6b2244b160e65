#include "cli/Args.h"

#include <cctype>

namespace n640::cli {

ParseResult ParseArgs(const std::vector<std::string>& argv) {
    ParseResult r;
    bool optionsEnded = false;
    for (size_t i = 0; i < argv.size(); ++i) {
        const std::string& a = argv[i];
        if (optionsEnded || a.size() < 2 || a[0] != '-' || a == "-") {
            r.args.words.push_back(a);
            continue;
        }
        if (a == "--") { optionsEnded = true; continue; }
        if (a == "--help" || a == "-h") { r.args.help = true; continue; }

        std::string name = a;
        std::optional<std::string> value;
        if (const auto eq = a.find('='); eq != std::string::npos && a.rfind("--", 0) == 0) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
        }
        std::optional<std::string>* target = nullptr;
        std::optional<std::string> device;
        if (name == "--data-dir") target = &r.args.dataDir;
        else if (name == "--macros") target = &r.args.macros;
        else if (name == "--lang") target = &r.args.lang;
        else if (name == "--server") target = &r.args.server;
        else if (name == "--download") target = &r.args.download;
        else if (name == "--device") target = &device;
        else {
            // Negative numbers are operands, not options.
            if (a.size() > 1 && (std::isdigit(static_cast<unsigned char>(a[1])) != 0)) {
                r.args.words.push_back(a);
                continue;
            }
            r.error = "unknown option " + a;
            return r;
        }
        if (!value) {
            if (i + 1 >= argv.size()) {
                r.error = "option " + name + " needs a value";
                return r;
            }
            value = argv[++i];
        }
        if (value->empty()) {
            r.error = "option " + name + " needs a value";
            return r;
        }
        *target = *value;
        if (device) r.args.device = *device;
    }
    if (r.args.lang && *r.args.lang != "en" && *r.args.lang != "sc") {
        r.error = "--lang takes en or sc";
    }
    return r;
}

} // namespace n640::cli
