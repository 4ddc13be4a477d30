// The application object: one global instance per program. Run() prepares the
// common controls and calls InitInstance(), which runs the program's window;
// when it returns the program ends (there is no separate message loop).
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace kavuno::ui {

class App {
public:
    // `logName` names the program's log and crash dumps (common/program_names.h).
    explicit App(std::wstring_view logName);
    virtual ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // Called from wWinMain; returns the process exit code.
    int Run(HINSTANCE instance);

    static App& Current();
    HINSTANCE Instance() const { return instance_; }
    // The program file's name without extension: the caption of its message boxes.
    const std::wstring& Title() const { return title_; }

    // A message box with an OK button and the exclamation icon, captioned with Title().
    int ShowExclamation(const std::wstring& text) const;

protected:
    virtual bool InitInstance() = 0;

private:
    HINSTANCE instance_ = nullptr;
    std::wstring title_;
    std::wstring logName_;
};

// Full path of the running program file.
std::wstring ProgramPath();
// The directory of the running program file, with a trailing backslash.
std::wstring ProgramDirectory();

}  // namespace kavuno::ui
