// Start-up as the program does it, with the Qt view drawing the window
// offscreen: from loading the main form to the filled, painted list, against
// a registry with 30,000 ProgIDs. The start-up warning is answered at once.

#include <benchmark/benchmark.h>

#include <chrono>

#include "larkspur/bench_store.h"
#include "larkspur/frmOLESP.h"
#include "platform/forms/qt/qt_app.h"
#include "platform/forms/runtime.h"

namespace {

using larkspur::bench::kProgIDs;
using larkspur::bench::Store;

// The Qt user interface with a user who presses OK on every message box.
class AnsweringUi : public forms::UiBackend {
public:
    explicit AnsweringUi(forms::UiBackend& qt) : qt_(qt) {}
    int MsgBox(const std::string&, int, const std::string&) override { return forms::vbOK; }
    void ShowForm(forms::Form& form, bool modal) override { qt_.ShowForm(form, modal); }
    void FormHidden(forms::Form& form) override { qt_.FormHidden(form); }
    void FormUnloaded(forms::Form& form) override { qt_.FormUnloaded(form); }
    void DoEvents() override { qt_.DoEvents(); }
    void MousePointerChanged(int pointer) override { qt_.MousePointerChanged(pointer); }
    void End() override { qt_.End(); }

private:
    forms::UiBackend& qt_;
};

void BM_StartUpToFilledListQt(benchmark::State& state) {
    Store();
    // The application is created once per process: time that first creation.
    static const double qtStartMs = [] {
        const auto before = std::chrono::steady_clock::now();
        forms::qt::EnsureQtUi();
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - before)
            .count();
    }();
    forms::qt::EnsureQtUi();
    AnsweringUi ui(forms::Ui());
    forms::SetUi(&ui);
    int listed = 0;
    for (auto _ : state) {
        larkspur::frmOLESP form;
        form.Show();
        forms::DoEvents();  // the list painted
        listed = form.Get<forms::ListBox>("lstDataProgIDs").ListCount();
        state.PauseTiming();
        form.Unload();
        forms::DoEvents();
        state.ResumeTiming();
    }
    forms::qt::EnsureQtUi();
    if (listed < kProgIDs) state.SkipWithError("the list was not filled");
    state.counters["listed"] = listed;
    state.counters["qt_start_ms"] = qtStartMs;
}
BENCHMARK(BM_StartUpToFilledListQt)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
