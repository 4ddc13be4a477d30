// The launcher's application object: refuses to run beside a running player,
// otherwise runs the launcher window until it closes.
#pragma once
#include "framework/app.h"

class UpdaterApp : public kavuno::ui::App {
protected:
    bool InitInstance() override;
};
