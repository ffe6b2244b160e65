#pragma once
// The statistics page: draws the counters, the trophy of the level, the level bar and marks, and
// the reset button over its three sheets (skins, or skins\zh for the Chinese interface). It counts
// the hook reports the main window forwards (1225), samples the pointer distance from its sampling
// thread (1226) and saves Sts.cfg when it is destroyed, after a reset and when the main window
// asks (session end).

#include <filesystem>
#include <memory>

#include "platform/File.h"
#include "platform/Notifier.h"
#include "platform/Poster.h"
#include "stats/DistanceSampler.h"
#include "stats/StatsModel.h"
#include "ui/controls/win/Page.h"
#include "ui/controls/win/SkinImage.h"

namespace n640::win {

struct StatsPageArgs {
    HWND parent = nullptr;
    Rect rect{};                        // the page area in the parent
    int id = 106;
    std::filesystem::path installDir{};
    std::filesystem::path dataDir{};
    HWND hintTarget = nullptr;          // the main window: receives 2053
};

// What the page talks to; everything must outlive the page.
struct StatsPagePorts {
    IFiles& files;
    INotifier& notifier;
    IPoster& poster;                    // carries the sampling thread's 1226 to the page
    TextLookup lookup;
};

class CDlgSts : public CPage {
public:
    CDlgSts();
    ~CDlgSts() override;

    bool CreateStatsPage(const StatsPageArgs& args, const StatsPagePorts& ports);
    // Writes Sts.cfg; true when written.
    bool SaveStatistics();

    // For tests and the command-line view of the same numbers.
    const CStatsModel* Model() const { return model_.get(); }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PaintOver(HDC dc) override;

private:
    void ShowLevel(bool force);  // trophy picture, marks and bar of a level not shown yet
    void LoadLanguageSheets();   // the sheets of the interface language
    void FollowLanguage();       // after a language switch: the pictures of the new language
    void RefreshCaptions();  // the captions of the current language
    void OnReset();
    void Finish();           // the page ends: sampling stops, the counters are saved
    void InvalidatePageRect(const Rect& r);

    StatsPageArgs args_;
    std::unique_ptr<CStatsModel> model_;
    std::unique_ptr<IPointerPosition> cursor_;
    std::unique_ptr<CDistanceSampler> sampler_;
    TextLookup lookup_;
    SkinImage trophy_;
    CFontHandle numberFont_;
    bool sheetsChinese_ = false;  // the loaded pictures are the Chinese interface's
    bool counting_ = false;  // from reading Sts.cfg until the page ends
};

} // namespace n640::win
