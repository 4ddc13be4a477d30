// kavuno_player_probe: reads the player's window from the Windows side for the
// end-to-end tests (tests/e2e/test_player*.py), the way another program would:
// by window title, control id and the controls' own messages, with buffers in
// the player's process where a message needs one. Output is UTF-8, one item a
// line, fields separated by tabs.
//
//   kavuno_player_probe rows TITLE [MAX]      kMovieList: "record-index<TAB>title<TAB>kind", top row first
//                                             (at most MAX rows)
//   kavuno_player_probe row-count TITLE       kMovieList: the number of rows
//   kavuno_player_probe columns TITLE         kMovieList: "text<TAB>width<TAB>format" per column
//   kavuno_player_probe row-rect TITLE ROW    kMovieList: screen "left top right bottom" of a row
//   kavuno_player_probe tree TITLE            kCategoryTree, one item a line:
//                                             "depth<TAB>has-children<TAB>left top right bottom<TAB>text";
//                                             the rectangle (screen) is "- - - -" for items out of sight
//   kavuno_player_probe controls TITLE [ID]   every child of the window (or of its control ID):
//                                             "id<TAB>class<TAB>x y w h (window)<TAB>style<TAB>visible<TAB>text"
//   kavuno_player_probe slider TITLE ID       track bar ID: "position min max", then the thumb's
//                                             rectangle on the screen "left top right bottom"
//   kavuno_player_probe send-item TITLE ID MSG W L   SendMessage to control ID, prints the result
//   kavuno_player_probe idle TITLE            waits (up to 10 s) until the window's program has handled its
//                                             input and waits for more; exit status 1 when it does not
//   kavuno_player_probe window TITLE          "left top width height<TAB>style<TAB>exstyle"
//   kavuno_player_probe combo TITLE ID        "selection" then one item a line
//   kavuno_player_probe text TITLE ID         the control's text (ID 0: the window's)
//   kavuno_player_probe set-text TITLE ID HEX WM_SETTEXT with the text given as the hex digits of its
//                                             UTF-8 bytes (Wine decodes arguments by the Linux locale)
//   kavuno_player_probe focus TITLE           id of the control that has the keyboard focus (0: none)
//   kavuno_player_probe capture TITLE         id of the control that has the mouse capture (0: none)
//   kavuno_player_probe message TITLE         a message box's text (its static control 0xFFFF)
//   kavuno_player_probe count TITLE           how many top-level windows have exactly this title
//   kavuno_player_probe launch-time TITLE EXE starts EXE (in its folder) and prints the milliseconds until a
//                                             window titled TITLE is visible, then until it has painted
//   kavuno_player_probe search-time TITLE HEX sets the search text (as for set-text), presses Enter on
//                                             the search field and prints "milliseconds<TAB>rows" once
//                                             the list holds the result and has painted it (the
//                                             text must have results)
//   kavuno_player_probe windows -             every top-level window: "process<TAB>class<TAB>visible<TAB>title"
//   kavuno_player_probe tooltip TITLE ID      the text of the tool tip that the window's tool tip control
//                                             holds for its control ID
//   kavuno_player_probe region TITLE          the window region: "left top right bottom" per rectangle
//                                             (window coordinates), or "none" when it has none
//
//   kavuno_player_probe serve                 the commands above, one a line on standard input
//                                             (see command_server.h)
//
// TITLE matches exactly, case included (FindWindow would also take "kavuno"
// for "Kavuno"). Exit status 1: no such window or control; 2: usage.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "common/ownership.h"
#include "tools/testing/command_server.h"

namespace {

constexpr int kNotFound = 1;
constexpr int kUsage = 2;
constexpr int kMovieList = 1005;
constexpr int kCategoryTree = 1004;

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

void Print(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

std::wstring FromUtf8Hex(const std::wstring& hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<char>(std::wcstol(hex.substr(i, 2).c_str(), nullptr, 16)));
    }
    if (bytes.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
    return text;
}

struct TitleSearch {
    const std::wstring* title;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectByTitle(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<TitleSearch*>(param);
    wchar_t text[512];
    const int n = GetWindowTextW(hwnd, text, 512);
    if (std::wstring(text, static_cast<size_t>(n)) == *search->title) search->found.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> TopLevelWindows(const std::wstring& title) {
    TitleSearch search{&title, {}};
    EnumWindows(CollectByTitle, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// WM_GETTEXT: GetWindowText would not ask a control of another process.
std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<size_t>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

// Memory in the process that owns a window, for messages that carry pointers.
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, size_t size) : size_(size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process_.Reset(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
        if (process_) address_ = VirtualAllocEx(process_.get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (address_) VirtualFreeEx(process_.get(), address_, 0, MEM_RELEASE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool ok() const { return address_ != nullptr; }
    char* at(size_t offset) const { return static_cast<char*>(address_) + offset; }
    void Write(size_t offset, const void* data, size_t n) const {
        WriteProcessMemory(process_.get(), at(offset), data, n, nullptr);
    }
    void Read(size_t offset, void* data, size_t n) const {
        ReadProcessMemory(process_.get(), at(offset), data, n, nullptr);
    }
    std::wstring ReadText(size_t offset, size_t chars) const {
        std::wstring text(chars, L'\0');
        Read(offset, text.data(), chars * sizeof(wchar_t));
        text.resize(std::wcslen(text.c_str()));
        return text;
    }

private:
    kavuno::win::OwnedHandle process_;  // outlives the destructor's VirtualFreeEx
    void* address_ = nullptr;
    size_t size_;
};

constexpr size_t kTextChars = 1024;
constexpr size_t kTextOffset = 512;  // the struct goes first, its text buffer after it

std::wstring ListText(HWND list, const RemoteBuffer& remote, int row, int column) {
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<LPWSTR>(remote.at(kTextOffset));
    item.cchTextMax = kTextChars;
    remote.Write(0, &item, sizeof item);
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote.at(0)));
    return remote.ReadText(kTextOffset, kTextChars);
}

LPARAM ListItemData(HWND list, const RemoteBuffer& remote, int row) {
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    remote.Write(0, &item, sizeof item);
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.at(0)));
    remote.Read(0, &item, sizeof item);
    return item.lParam;
}

int Rows(HWND window, int limit) {
    HWND list = GetDlgItem(window, kMovieList);
    RemoteBuffer remote(list, kTextOffset + kTextChars * sizeof(wchar_t));
    if (!list || !remote.ok()) return kNotFound;
    int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    if (limit > 0 && limit < count) count = limit;
    for (int row = 0; row < count; ++row) {
        Print(std::to_string(ListItemData(list, remote, row)) + "\t" + Utf8(ListText(list, remote, row, 0)) + "\t" +
              Utf8(ListText(list, remote, row, 1)));
    }
    return 0;
}

int Columns(HWND window) {
    HWND list = GetDlgItem(window, kMovieList);
    RemoteBuffer remote(list, kTextOffset + kTextChars * sizeof(wchar_t));
    if (!list || !remote.ok()) return kNotFound;
    for (int i = 0;; ++i) {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = reinterpret_cast<LPWSTR>(remote.at(kTextOffset));
        column.cchTextMax = kTextChars;
        remote.Write(0, &column, sizeof column);
        if (!SendMessageW(list, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(remote.at(0)))) break;
        remote.Read(0, &column, sizeof column);
        Print(Utf8(remote.ReadText(kTextOffset, kTextChars)) + "\t" + std::to_string(column.cx) + "\t" +
              std::to_string(column.fmt & LVCFMT_JUSTIFYMASK));
    }
    return 0;
}

std::string ScreenRect(HWND control, RECT r) {
    MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
           std::to_string(r.bottom);
}

int RowRect(HWND window, int row) {
    HWND list = GetDlgItem(window, kMovieList);
    RemoteBuffer remote(list, sizeof(RECT));
    if (!list || !remote.ok()) return kNotFound;
    RECT r = {};
    r.left = LVIR_BOUNDS;
    remote.Write(0, &r, sizeof r);
    if (!SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(remote.at(0)))) return kNotFound;
    remote.Read(0, &r, sizeof r);
    Print(ScreenRect(list, r));
    return 0;
}

void TreeItems(HWND tree, const RemoteBuffer& remote, HTREEITEM item, int depth) {
    for (; item; item = reinterpret_cast<HTREEITEM>(
                     SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
        TVITEMW tv = {};
        tv.mask = TVIF_TEXT | TVIF_HANDLE;
        tv.hItem = item;
        tv.pszText = reinterpret_cast<LPWSTR>(remote.at(kTextOffset));
        tv.cchTextMax = kTextChars;
        remote.Write(0, &tv, sizeof tv);
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.at(0)));
        const std::wstring text = remote.ReadText(kTextOffset, kTextChars);

        RECT r = {};
        std::memcpy(&r, &item, sizeof item);  // TVM_GETITEMRECT takes the item in the rectangle
        remote.Write(0, &r, sizeof r);
        const bool shown = SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(remote.at(0))) != 0;
        remote.Read(0, &r, sizeof r);
        auto child = reinterpret_cast<HTREEITEM>(
            SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
        Print(std::to_string(depth) + "\t" + (child ? "1" : "0") + "\t" + (shown ? ScreenRect(tree, r) : "- - - -") +
              "\t" + Utf8(text));
        TreeItems(tree, remote, child, depth + 1);
    }
}

int Tree(HWND window) {
    HWND tree = GetDlgItem(window, kCategoryTree);
    RemoteBuffer remote(tree, kTextOffset + kTextChars * sizeof(wchar_t));
    if (!tree || !remote.ok()) return kNotFound;
    TreeItems(tree, remote, reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)), 0);
    return 0;
}

int Controls(HWND window, HWND parent) {
    RECT frame;
    GetWindowRect(window, &frame);
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[128];
        GetClassNameW(child, className, 128);
        RECT r;
        GetWindowRect(child, &r);
        char style[16];
        std::snprintf(style, sizeof style, "%08lx", static_cast<unsigned long>(GetWindowLongPtrW(child, GWL_STYLE)));
        Print(std::to_string(static_cast<short>(GetDlgCtrlID(child))) + "\t" + Utf8(className) + "\t" +
              std::to_string(r.left - frame.left) + " " + std::to_string(r.top - frame.top) + " " +
              std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top) + "\t" + style + "\t" +
              (IsWindowVisible(child) ? "1" : "0") + "\t" + Utf8(WindowText(child)));
    }
    return 0;
}

int Window(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    char styles[40];
    std::snprintf(styles, sizeof styles, "%08lx\t%08lx",
                  static_cast<unsigned long>(GetWindowLongPtrW(window, GWL_STYLE)),
                  static_cast<unsigned long>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
    Print(std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + " " +
          std::to_string(r.bottom - r.top) + "\t" + styles);
    return 0;
}

int Combo(HWND window, int id) {
    HWND combo = GetDlgItem(window, id);
    if (!combo) return kNotFound;
    Print(std::to_string(SendMessageW(combo, CB_GETCURSEL, 0, 0)));
    const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::wstring text(static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(std::wcslen(text.c_str()));
        Print(Utf8(text));
    }
    return 0;
}

// The control id of the window's thread's focus window, or of its mouse capture.
int Focus(HWND window, bool capture) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return kNotFound;
    HWND found = capture ? info.hwndCapture : info.hwndFocus;
    Print(std::to_string(found ? static_cast<short>(GetDlgCtrlID(found)) : 0));
    return 0;
}

BOOL CALLBACK PrintTopLevelWindow(HWND hwnd, LPARAM) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t className[128];
    GetClassNameW(hwnd, className, 128);
    Print(std::to_string(pid) + "\t" + Utf8(className) + "\t" + (IsWindowVisible(hwnd) ? "1" : "0") + "\t" +
          Utf8(WindowText(hwnd)));
    return TRUE;
}

double Milliseconds(const LARGE_INTEGER& from) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int LaunchTime(const std::wstring& title, const std::wstring& exe) {
    const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\') + 1);
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &process))
        return kNotFound;
    const kavuno::win::OwnedHandle thread(process.hThread), child(process.hProcess);
    HWND window = nullptr;
    while (Milliseconds(start) < 60000) {
        for (HWND candidate : TopLevelWindows(title)) {
            if (IsWindowVisible(candidate)) window = candidate;
        }
        if (window) break;
        Sleep(1);
    }
    if (!window) return kNotFound;
    const double visible = Milliseconds(start);
    UpdateWindow(window);  // returns once the window has painted what it shows
    char line[64];
    std::snprintf(line, sizeof line, "%.0f\t%.0f", visible, Milliseconds(start));
    Print(line);
    return 0;
}

int SearchTime(HWND window, const std::wstring& hexText) {
    HWND edit = GetDlgItem(window, 1007);
    HWND list = GetDlgItem(window, kMovieList);
    if (!edit || !list) return kNotFound;
    const std::wstring text = FromUtf8Hex(hexText);
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    // An empty list first: the search has run when the list holds rows again.
    // (A sent message is answered before the posted key, so one query is not enough.)
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
    LRESULT rows = 0;
    while (rows == 0 && Milliseconds(start) < 60000) {
        rows = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
        if (rows == 0) Sleep(0);
    }
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    char line[64];
    std::snprintf(line, sizeof line, "%.0f\t%lld", Milliseconds(start), static_cast<long long>(rows));
    Print(line);
    return 0;
}

// The tool tip controls of `window`'s process (the tree and the list have their own).
struct ToolTipSearch {
    DWORD process;
    std::vector<HWND> found;
};

// A named callback: on 32-bit Windows a lambda does not convert to the
// stdcall WNDENUMPROC.
BOOL CALLBACK CollectToolTip(HWND candidate, LPARAM param) {
    auto* s = reinterpret_cast<ToolTipSearch*>(param);
    wchar_t className[64];
    GetClassNameW(candidate, className, 64);
    DWORD process = 0;
    GetWindowThreadProcessId(candidate, &process);
    if (process == s->process && std::wcscmp(className, TOOLTIPS_CLASSW) == 0) s->found.push_back(candidate);
    return TRUE;
}

std::vector<HWND> ProcessToolTips(HWND window) {
    ToolTipSearch search{0, {}};
    GetWindowThreadProcessId(window, &search.process);
    EnumWindows(CollectToolTip, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int ToolTipText(HWND window, int id) {
    HWND control = GetDlgItem(window, id);
    RemoteBuffer remote(window, kTextOffset + kTextChars * sizeof(wchar_t));
    if (!control || !remote.ok()) return kNotFound;
    for (HWND tip : ProcessToolTips(window)) {
        TTTOOLINFOW tool = {};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND;
        tool.hwnd = window;
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = reinterpret_cast<LPWSTR>(remote.at(kTextOffset));
        remote.Write(0, &tool, sizeof tool);
        remote.Write(kTextOffset, L"", sizeof(wchar_t));
        if (!SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(remote.at(0)))) continue;
        remote.Write(0, &tool, sizeof tool);
        SendMessageW(tip, TTM_GETTEXTW, kTextChars, reinterpret_cast<LPARAM>(remote.at(0)));
        Print(Utf8(remote.ReadText(kTextOffset, kTextChars)));
        return 0;
    }
    return kNotFound;
}

int Region(HWND window) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(window, region) == ERROR) {
        DeleteObject(region);
        Print("none");
        return 0;
    }
    std::vector<char> data(GetRegionData(region, 0, nullptr));
    GetRegionData(region, static_cast<DWORD>(data.size()), reinterpret_cast<RGNDATA*>(data.data()));
    DeleteObject(region);
    const auto* header = reinterpret_cast<const RGNDATA*>(data.data());
    const auto* rects = reinterpret_cast<const RECT*>(header->Buffer);
    for (DWORD i = 0; i < header->rdh.nCount; ++i) {
        Print(std::to_string(rects[i].left) + " " + std::to_string(rects[i].top) + " " +
              std::to_string(rects[i].right) + " " + std::to_string(rects[i].bottom));
    }
    return 0;
}

int Run(const std::vector<std::wstring>& args) {
    if (args.size() < 3) return kUsage;
    const std::wstring& command = args[1];
    const std::vector<HWND> windows = TopLevelWindows(args[2]);
    if (command == L"windows") {
        EnumWindows(PrintTopLevelWindow, 0);
        return 0;
    }
    if (command == L"launch-time" && args.size() == 4) return LaunchTime(args[2], args[3]);
    if (command == L"count") {
        Print(std::to_string(windows.size()));
        return 0;
    }
    if (windows.empty()) return kNotFound;
    HWND window = windows.front();
    const int id = args.size() >= 4 ? static_cast<int>(std::wcstol(args[3].c_str(), nullptr, 0)) : 0;

    if (command == L"rows") return Rows(window, id);
    if (command == L"row-count") {
        HWND list = GetDlgItem(window, kMovieList);
        if (!list) return kNotFound;
        Print(std::to_string(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)));
        return 0;
    }
    if (command == L"columns") return Columns(window);
    if (command == L"row-rect" && args.size() == 4) return RowRect(window, id);
    if (command == L"tree") return Tree(window);
    if (command == L"controls") {
        HWND parent = id ? GetDlgItem(window, id) : window;
        return parent ? Controls(window, parent) : kNotFound;
    }
    if (command == L"slider" && args.size() == 4) {
        HWND slider = GetDlgItem(window, id);
        if (!slider) return kNotFound;
        Print(std::to_string(SendMessageW(slider, TBM_GETPOS, 0, 0)) + " " +
              std::to_string(SendMessageW(slider, TBM_GETRANGEMIN, 0, 0)) + " " +
              std::to_string(SendMessageW(slider, TBM_GETRANGEMAX, 0, 0)));
        RemoteBuffer remote(slider, sizeof(RECT));
        if (!remote.ok()) return kNotFound;
        SendMessageW(slider, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(remote.at(0)));
        RECT thumb;
        remote.Read(0, &thumb, sizeof thumb);
        Print(ScreenRect(slider, thumb));
        return 0;
    }
    if (command == L"idle") {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        const kavuno::win::OwnedHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid));
        if (!process) return kNotFound;
        const DWORD waited = WaitForInputIdle(process.get(), 10000);
        return waited == 0 ? 0 : kNotFound;
    }
    if (command == L"send-item" && args.size() == 7) {
        HWND control = GetDlgItem(window, id);
        if (!control) return kNotFound;
        const auto number = [](const std::wstring& text) { return std::wcstoll(text.c_str(), nullptr, 0); };
        Print(std::to_string(SendMessageW(control, static_cast<UINT>(number(args[4])),
                                          static_cast<WPARAM>(number(args[5])), static_cast<LPARAM>(number(args[6])))));
        return 0;
    }
    if (command == L"window") return Window(window);
    if (command == L"combo" && args.size() == 4) return Combo(window, id);
    if (command == L"focus" || command == L"capture") return Focus(window, command == L"capture");
    if (command == L"search-time" && args.size() == 4) return SearchTime(window, args[3]);
    if (command == L"tooltip" && args.size() == 4) return ToolTipText(window, id);
    if (command == L"region") return Region(window);
    if (command == L"message") {
        HWND text = GetDlgItem(window, 0xFFFF);
        if (!text) return kNotFound;
        Print(Utf8(WindowText(text)));
        return 0;
    }
    if (command == L"text" && args.size() == 4) {
        HWND control = id ? GetDlgItem(window, id) : window;
        if (!control) return kNotFound;
        Print(Utf8(WindowText(control)));
        return 0;
    }
    if (command == L"set-text" && args.size() == 5) {
        HWND control = GetDlgItem(window, id);
        if (!control) return kNotFound;
        const std::wstring text = FromUtf8Hex(args[4]);
        SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        return 0;
    }
    return kUsage;
}

}  // namespace

int main() { return kavuno::testing::ProbeMain(Run); }
