// Runs Cymor through the headless backend on the virtual clock against one simulated dongle,
// recording what the dialog shows and what crossed the wire.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "platform/clock/Clock.h"
#include "platform/text/WideText.h"
#include "platform/ui/headless/HeadlessBackend.h"
#include "platform/usblink/sim/SimUsbBridge.h"
#include "quillon/dialogs/Cymor.h"
#include "quillon/link/BridgePort.h"
#include "quillon/protocol/GenericTarget.h"
#include "sim/target/GenericTarget.h"
#include "tests/support/TempDir.h"

inline const std::string SAMPLES = QUILLON_SAMPLES_DIR;

// The last text of every control of the updater, and the progress positions in order.
class CUpdaterRecorder final : public IHeadlessObserver {
public:
    void ControlTextChanged(const CDialog& dialog, int controlId,
                            std::u16string_view text) override {
        if (dialog.Template().id == IDD_YMOR_DIALOG) {
            texts[controlId] = ToUtf8(text);
        }
    }
    void ProgressChanged(const CDialog& dialog, int controlId, int pos, int, int) override {
        if (dialog.Template().id == IDD_YMOR_DIALOG && controlId == IDC_PROGRESS_BAR) {
            progress.push_back(pos);
        }
    }
    std::string Text(int id) const {
        const auto it = texts.find(id);
        return it == texts.end() ? std::string() : it->second;
    }

    std::map<int, std::string> texts;
    std::vector<int> progress;
};

class CymorTest : public testing::Test {
protected:
    void SetUp() override {
        InstallClock(&clock);
        InstallUiBackend(&backend);
        backend.SetObserver(&recorder);
        recordsPerBlock = 0;
        bootloaderVersion.clear();
    }

    void TearDown() override {
        bridgePort.Close();
        InstallUsbBridge(nullptr);
        InstallUiBackend(nullptr);
        InstallClock(nullptr);
    }

    // Plugs in one dongle whose target is described by target (simulator state keys) and
    // connects it, as the main window's Connect does.
    void Plug(const nlohmann::json& target) {
        const nlohmann::json state = {
            {"dongles", {{{"serial", "0020001234"}, {"target", target}}}}};
        CTempDir::Write(StatePath(), state.dump());
        library = std::make_unique<CSimUsbBridge>(StatePath(), TracePath());
        InstallUsbBridge(library.get());
        ASSERT_EQ(bridgePort.Open(1), PORT_OK);
    }

    // The model's sample state, with extra keys.
    static nlohmann::json SampleTarget(const std::string& model,
                                       const nlohmann::json& extra = nlohmann::json::object()) {
        std::ifstream in(SAMPLES + "/sim/" + model + ".json");
        nlohmann::json target = nlohmann::json::parse(in)["dongles"][0]["target"];
        target.update(extra);
        return target;
    }

    static std::string SampleFile(const std::string& model, const std::string& name) {
        return SAMPLES + "/Vellmar/UpdateFiles/" + model + "/" + name;
    }

    // Runs the dialog for model with the user script already queued; returns DoModal's result.
    int Run(const std::u16string& model) {
        Cymor dialog;
        dialog.modelName = model;
        const int result = dialog.DoModal();
        EXPECT_FALSE(backend.LimitHit()) << backend.LimitReason();
        EXPECT_TRUE(backend.User().Errors().empty()) << backend.User().Errors().front();
        return result;
    }

    // Clicks Update Firmware with path as the chooser's answer and waits for the session's end.
    CScriptedUser& Update(const std::string& path) {
        return backend.User()
            .AnswerChooser(FromUtf8(path))
            .Click(IDC_UPDATE_FIRMWARE)
            .WaitUntil([this] { return SessionOver(); });
    }

    bool SessionOver() const {
        const auto* updater = dynamic_cast<const Cymor*>(backend.TopDialog());
        return updater == nullptr || updater->busy == 0;
    }

    CGenericTarget& Target() {
        library->Bramlet().Update();
        return dynamic_cast<CGenericTarget&>(library->Bramlet().Target(0));
    }

    std::string Log() const { return recorder.Text(IDC_LOG_BOX); }

    // What the host wrote, one entry per write, and the latch writes, from the trace.
    std::vector<std::string> Trace(const std::string& event) const {
        std::ifstream in(TracePath());
        std::vector<std::string> details;
        for (std::string line; std::getline(in, line);) {
            const std::string marker = " " + event + " ";
            const auto at = line.find(marker);
            if (at != std::string::npos) {
                details.push_back(line.substr(at + marker.size()));
            }
        }
        return details;
    }
    int CountWrites(const std::string& text) const {
        int count = 0;
        for (const std::string& tx : Trace("tx")) {
            count += tx == text ? 1 : 0;
        }
        return count;
    }

    std::string StatePath() const { return dir.File("state.json"); }
    std::string TracePath() const { return dir.File("trace.txt"); }

    CTempDir dir;
    CVirtualClock clock{1'000'000};
    CHeadlessBackend backend;
    CUpdaterRecorder recorder;
    std::unique_ptr<CSimUsbBridge> library;
};
