// Benchmark of the generic firmware update: the host's own work for a whole session against the
// simulated target on the virtual clock. The link time at 57600 baud is reported as a counter,
// not measured.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/clock/Clock.h"
#include "platform/text/WideText.h"
#include "platform/ui/headless/HeadlessBackend.h"
#include "platform/usblink/sim/SimUsbBridge.h"
#include "quillon/dialogs/Cymor.h"
#include "quillon/link/BridgePort.h"

namespace {

const std::string SAMPLES = QUILLON_SAMPLES_DIR;
const std::string MODEL = "KM7-HS21";
const std::string FIRMWARE = SAMPLES + "/Vellmar/UpdateFiles/KM7-HS21/KM7-HS21-1.05.kmx";

void BM_FirmwareUpdateSession(benchmark::State& state) {
    const std::filesystem::path stateFile =
        std::filesystem::temp_directory_path() / "quillon-bench-bramlet.json";
    double linkSeconds = 0;
    bool succeeded = true;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::copy_file(SAMPLES + "/sim/" + MODEL + ".json", stateFile,
                                   std::filesystem::copy_options::overwrite_existing);
        CVirtualClock clock;
        InstallClock(&clock);
        CHeadlessBackend backend;
        InstallUiBackend(&backend);
        CSimUsbBridge library(stateFile.string());
        InstallUsbBridge(&library);
        bridgePort.Open(1);
        backend.User()
            .AnswerChooser(FromUtf8(FIRMWARE))
            .Click(IDC_UPDATE_FIRMWARE)
            .WaitUntil([&] {
                const auto* updater = dynamic_cast<const Cymor*>(backend.TopDialog());
                return updater != nullptr && updater->busy == 0;
            })
            .Do([&](CDialog& top) {
                succeeded = succeeded && top.GetDlgItemText(IDC_LOG_BOX)
                                             .ends_with(u"Update Successful, OK to disconnect\r\n");
            })
            .PressEscape();
        Cymor dialog;
        dialog.modelName = FromUtf8(MODEL);
        state.ResumeTiming();

        dialog.DoModal();

        state.PauseTiming();
        succeeded = succeeded && !backend.LimitHit();
        linkSeconds = static_cast<double>(clock.NowMicros()) / 1e6;
        bridgePort.Close();
        InstallUsbBridge(nullptr);
        InstallUiBackend(nullptr);
        InstallClock(nullptr);
        state.ResumeTiming();
    }
    std::filesystem::remove(stateFile);
    if (!succeeded) {
        state.SkipWithError("the update did not succeed");
    }
    state.counters["simulated_link_s"] = linkSeconds;
    state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(FIRMWARE));
}
BENCHMARK(BM_FirmwareUpdateSession)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
