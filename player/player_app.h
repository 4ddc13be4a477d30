// The player's application object: checks that the launcher's window exists,
// tells the launcher to close, starts Windows Sockets and ActiveX hosting, and
// runs the main window modally. When the main window ends, the program ends.
#pragma once
#include "common/program_names.h"
#include "framework/app.h"

class PlayerApp : public kavuno::ui::App {
public:
    PlayerApp() : App(kavuno::names::kPlayerLogName) {}

protected:
    // Returns false in every case: the program ends when it returns.
    bool InitInstance() override;
};
