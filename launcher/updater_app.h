// The launcher's application object: refuses to run beside a running player,
// otherwise runs the launcher window until it closes.
#pragma once
#include "common/program_names.h"
#include "framework/app.h"

class UpdaterApp : public kavuno::ui::App {
public:
    UpdaterApp() : App(kavuno::names::kLauncherLogName) {}

protected:
    bool InitInstance() override;
};
