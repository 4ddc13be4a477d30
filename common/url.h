// Addresses of the form "scheme://user@host:port/path?query#fragment", read
// strictly: whatever a browser or a media control might read another way is
// refused rather than guessed at. That means control characters anywhere, a
// scheme not followed by exactly "//", a backslash, blank or second '@' in
// the authority, an empty host, a host with anything but letters, digits,
// '-', '.', '_' or non-ASCII bytes (so no percent-encoding), a port that is
// not a number up to 65535. The path, query and fragment are the server's
// business and are not looked into.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace kavuno::url {

struct Url {
    std::string scheme;              // lower case
    bool hasUserInfo = false;        // "user:password@" before the host
    std::string host;                // ASCII letters in lower case; an IPv6 literal without its brackets
    std::string_view hostAsWritten;  // the same, its case kept: for showing it
    std::optional<unsigned> port;    // only when written
    std::string_view rest;           // from the first '/', '?' or '#' after the host, as written

    // The written port, or the scheme's usual one (0 when it has none).
    unsigned EffectivePort() const;
};

// The parts of `address`, or nothing when it is not read the same way by everybody.
std::optional<Url> Parse(std::string_view address);

// The scheme of `address` in lower case ("javascript" for "JavaScript:x"), or
// "" when it does not start with a well-formed scheme and a colon.
std::string SchemeOf(std::string_view address);

// `address` without its user name and password, for logs. An address that
// does not parse loses everything from its authority up to its last '@', so
// that a password holding '/' or '#' is dropped too.
std::string WithoutUserInfo(std::string_view address);

// A user name or password for the userinfo part of an address: every byte
// outside the unreserved set (letters, digits, '-', '.', '_', '~') as %XX.
std::string EncodeUserInfo(std::string_view text);

// A page's address as a log may keep it: without user name and password,
// query and fragment, where sessions, tokens and searches travel.
std::string PageForLog(std::string_view address);

}  // namespace kavuno::url
