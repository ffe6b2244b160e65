#include "i18n/UiLanguage.h"

#include <atomic>

namespace n640 {

namespace {
std::atomic<bool> g_uiChinese{false};
std::atomic<bool> g_installChinese{false};
} // namespace

bool UiChinese() { return g_uiChinese.load(std::memory_order_relaxed); }
void SetUiChinese(bool chinese) { g_uiChinese.store(chinese, std::memory_order_relaxed); }
bool InstallChinese() { return g_installChinese.load(std::memory_order_relaxed); }
void SetInstallChinese(bool chinese) { g_installChinese.store(chinese, std::memory_order_relaxed); }

} // namespace n640
