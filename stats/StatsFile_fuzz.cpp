// Sts.cfg of any length and content: loading zero-fills what is missing, every row has a text, the
// level stays in range, and saving writes back exactly the 24 bytes that were loaded.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "stats/StatsModel.h"

namespace {

using namespace n640;

// One file held in memory.
class CMemoryFiles final : public IFiles {
public:
    std::vector<uint8_t> bytes;
    bool exists = true;

    FileStatus Read(const std::filesystem::path&, void* buffer, size_t capacity, size_t* got) override {
        if (!exists) return FileStatus::NotFound;
        *got = std::min(capacity, bytes.size());
        std::memcpy(buffer, bytes.data(), *got);
        return FileStatus::Ok;
    }
    FileStatus OpenExisting(const std::filesystem::path&) override { return FileStatus::Ok; }
    FileStatus WriteFlushed(const std::filesystem::path&, const void* data, size_t size) override {
        pending.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
        return FileStatus::Ok;
    }
    FileStatus Replace(const std::filesystem::path&, const std::filesystem::path&) override {
        bytes = pending;
        exists = true;
        return FileStatus::Ok;
    }
    void Remove(const std::filesystem::path&) override {}
    bool Exists(const std::filesystem::path&) override { return exists; }
    FileStatus CreateDirectories(const std::filesystem::path&) override { return FileStatus::Ok; }
    FileStatus CopyNew(const std::filesystem::path&, const std::filesystem::path&) override { return FileStatus::Ok; }

private:
    std::vector<uint8_t> pending;
};

class CSilentNotifier final : public INotifier {
public:
    int ShowInfo(std::u16string_view, InfoButtons, bool) override { return kInfoOk; }
    void ShowSystemInfo(std::u16string_view, WindowRef) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CMemoryFiles files;
    files.bytes.assign(data, data + size);
    CSilentNotifier notifier;
    CStatsModel model("data", files, notifier, nullptr);
    if (!model.LoadStatistics()) std::abort();

    std::vector<uint8_t> expected(data, data + std::min<size_t>(size, sizeof(StatsRecord)));
    expected.resize(sizeof(StatsRecord), 0);
    if (std::memcmp(&model.Record(), expected.data(), expected.size()) != 0) std::abort();

    const int level = model.Level();
    if (level < 0 || level > kTopTrophyLevel) std::abort();
    if (ProgressBarRect(level).right > 631 + 273) std::abort();
    for (int row = 0; row < kStatsRowCount; ++row) {
        const std::u16string text = model.RowText(row);
        if (text.empty() || text.size() > 12) std::abort();
    }
    // One more press of each kind never lowers the level.
    for (uintptr_t code : {stats_event::kLeftDown, stats_event::kRightDown, stats_event::kMiddleDown,
                           stats_event::kWheelForward, stats_event::kWheelBackward}) {
        model.Count(code);
        if (model.Level() < level) std::abort();
    }

    CStatsModel reloaded("data", files, notifier, nullptr);
    if (!model.SaveStatistics() || files.bytes.size() != sizeof(StatsRecord)) std::abort();
    if (!reloaded.LoadStatistics() || std::memcmp(&reloaded.Record(), &model.Record(), sizeof(StatsRecord)) != 0)
        std::abort();
    return 0;
}
