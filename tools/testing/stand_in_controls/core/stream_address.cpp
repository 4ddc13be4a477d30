#include "tools/testing/stand_in_controls/core/stream_address.h"

#include <cmath>
#include <cwchar>
#include <cwctype>
#include <optional>

namespace kavuno::stand_in {
namespace {

std::optional<double> ParseNumber(const std::wstring& text) {
    if (text.empty()) return std::nullopt;
    wchar_t* end = nullptr;
    double value = std::wcstod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::vector<std::wstring> Segments(std::wstring_view path) {
    std::vector<std::wstring> segments;
    std::wstring current;
    for (wchar_t c : path) {
        if (c == L'/' || c == L'\\') {
            if (!current.empty()) segments.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) segments.push_back(current);
    return segments;
}

}  // namespace

StreamAddress ParseStreamAddress(std::wstring_view address) {
    StreamAddress result;
    std::wstring_view rest = address;
    if (size_t hash = rest.find(L'#'); hash != std::wstring_view::npos) rest = rest.substr(0, hash);
    if (size_t mark = rest.find(L'?'); mark != std::wstring_view::npos) {
        std::wstring_view query = rest.substr(mark + 1);
        rest = rest.substr(0, mark);
        while (!query.empty()) {
            size_t amp = query.find(L'&');
            std::wstring_view item = query.substr(0, amp);
            query = amp == std::wstring_view::npos ? std::wstring_view() : query.substr(amp + 1);
            if (item.empty()) continue;
            size_t eq = item.find(L'=');
            result.query.emplace_back(std::wstring(item.substr(0, eq)), eq == std::wstring_view::npos
                                                                            ? std::wstring()
                                                                            : std::wstring(item.substr(eq + 1)));
        }
    }
    if (size_t sep = rest.find(L"://"); sep != std::wstring_view::npos) {
        for (wchar_t c : rest.substr(0, sep)) result.scheme += static_cast<wchar_t>(std::towlower(c));
        rest = rest.substr(sep + 3);
        // The authority (user info, host, port) ends at the first slash.
        size_t slash = rest.find(L'/');
        rest = slash == std::wstring_view::npos ? std::wstring_view() : rest.substr(slash);
    }
    result.path = std::wstring(rest);
    return result;
}

std::vector<std::wstring> MediaFolderCandidates(const StreamAddress& address) {
    std::vector<std::wstring> segments = Segments(address.path);
    std::vector<std::wstring> candidates;
    std::wstring whole;
    for (const auto& segment : segments) {
        if (segment == L"." || segment == L".." || segment.find(L':') != std::wstring::npos) return {};
        if (!whole.empty()) whole += L'\\';
        whole += segment;
    }
    if (whole.empty()) return {};
    candidates.push_back(whole);
    if (segments.size() > 1) candidates.push_back(segments.back());
    return candidates;
}

SimulationSettings SimulationSettingsOf(const StreamAddress& address) {
    SimulationSettings s;
    for (const auto& [key, text] : address.query) {
        std::optional<double> value = ParseNumber(text);
        if (!value) continue;
        if (key == L"length" && *value > 0)
            s.lengthSeconds = *value;
        else if (key == L"start" && *value >= 0)
            s.startSeconds = *value;
        else if (key == L"speed" && *value >= 0)
            s.speed = *value;
        else if (key == L"connect" && *value >= 0)
            s.connectSeconds = *value;
        else if (key == L"buffer" && *value >= 0)
            s.bufferSeconds = *value;
    }
    if (s.startSeconds > s.lengthSeconds) s.startSeconds = s.lengthSeconds;
    return s;
}

}  // namespace kavuno::stand_in
