// Parsing speed of the XML reader: the shipped language files, and a large generated document.
// With pugixml available the same bytes are also parsed by it, in the same run, for comparison.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#if N640_HAVE_PUGIXML
#include <pugixml.hpp>
#endif

#include "i18n/LanguageTable.h"
#include "i18n/XmlDocument.h"

namespace n640 {
namespace {

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::filesystem::path LanguageDir() {
    const char* source = std::getenv("N640_SOURCE_DIR");
    return std::filesystem::path(source ? source : N640_DEFAULT_SOURCE_DIR) / "assets" / "Language";
}

// The twelve language files' bytes, or an empty list when they cannot be read.
std::vector<std::string> LanguageFiles() {
    std::vector<std::string> files;
    for (const auto& language : kLanguages) {
        const std::u16string name(language.file.substr(9));
        files.push_back(ReadAll(LanguageDir() / std::filesystem::path(name)));
        if (files.back().empty()) return {};
    }
    return files;
}

size_t TotalSize(const std::vector<std::string>& files) {
    size_t bytes = 0;
    for (const auto& file : files) bytes += file.size();
    return bytes;
}

std::string Generated(size_t size) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root>\n";
    for (size_t n = 0; out.size() < size; ++n) {
        out += "  <item id=\"" + std::to_string(n) + "\" kind='x'><name>caf\xC3\xA9 " + std::to_string(n) +
               "</name><!-- note --><v>&lt;" + std::to_string(n * 7) + "&gt;</v><e/></item>\n";
    }
    return out + "</root>\n";
}

const std::string& Generated5MB() {
    static const std::string text = Generated(5u * 1024 * 1024);
    return text;
}

// Decoding and parsing the twelve files from memory.
void BM_ParseLanguageFiles(benchmark::State& state) {
    const std::vector<std::string> files = LanguageFiles();
    if (files.empty()) {
        state.SkipWithError("language files not found; set N640_SOURCE_DIR");
        return;
    }
    CXmlDocument doc;
    for (auto _ : state) {
        for (const auto& file : files) benchmark::DoNotOptimize(doc.LoadBytes(file));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * TotalSize(files)));
}
BENCHMARK(BM_ParseLanguageFiles);

// What a language switch costs: read one file and look up all 114 texts.
void BM_LoadLanguageFile(benchmark::State& state) {
    const std::u16string path = (LanguageDir() / "sc.xml").u16string();
    const size_t bytes = std::filesystem::file_size(LanguageDir() / "sc.xml");
    CLanguageTable table;
    for (auto _ : state) benchmark::DoNotOptimize(table.LoadLanguageFile(path));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_LoadLanguageFile);

// A 5 MB document: UTF-8 decoding plus the one-pass index.
void BM_Parse5MB(benchmark::State& state) {
    const std::string& text = Generated5MB();
    CXmlDocument doc;
    for (auto _ : state) benchmark::DoNotOptimize(doc.LoadBytes(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    state.counters["elements"] = doc.ElementCount();
}
BENCHMARK(BM_Parse5MB)->Unit(benchmark::kMillisecond);

#if N640_HAVE_PUGIXML
// The same bytes through pugixml's default parse (a DOM with entity and end-of-line handling).
bool PugiParse(pugi::xml_document& doc, const std::string& bytes) {
    return static_cast<bool>(doc.load_buffer(bytes.data(), bytes.size()));
}

void BM_PugiParseLanguageFiles(benchmark::State& state) {
    const std::vector<std::string> files = LanguageFiles();
    if (files.empty()) {
        state.SkipWithError("language files not found; set N640_SOURCE_DIR");
        return;
    }
    pugi::xml_document doc;
    for (auto _ : state) {
        for (const auto& file : files) benchmark::DoNotOptimize(PugiParse(doc, file));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * TotalSize(files)));
}
BENCHMARK(BM_PugiParseLanguageFiles);

void BM_PugiParse5MB(benchmark::State& state) {
    const std::string& text = Generated5MB();
    pugi::xml_document doc;
    for (auto _ : state) benchmark::DoNotOptimize(PugiParse(doc, text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_PugiParse5MB)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
}  // namespace n640

BENCHMARK_MAIN();
