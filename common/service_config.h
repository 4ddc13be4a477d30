// Where the service lives. Each value is the build's default unless the
// environment variable of the same name (KAVUNO_UPDATE_SERVER, ...) is set,
// so tests and the demo can point the programs at local servers. A variable
// that is empty or only blanks (or, for an address, only slashes) counts as
// unset. Values are the programs' 8-bit text (GBK); on Windows they are read
// as wide strings, whatever the ANSI code page.
#pragma once
#include <string>

namespace kavuno::config {

// Base addresses such as "http://127.0.0.1:8780", without a trailing slash.
// A web site given as "host" or "host:port" is an http one.
std::string UpdateServer();
std::string WebSite();

// Host of the presence server; stream host B is the same machine.
std::string PresenceServer();
std::string StreamHostA();
std::string StreamHostB();
std::string StreamHostC();

// UDP ports of the presence notices: the server's (KAVUNO_PRESENCE_PORT) and
// the player's own (KAVUNO_PRESENCE_LOCAL_PORT). A value that is not a decimal
// number from 1 to 65535 counts as unset.
unsigned short PresencePort();
unsigned short PresenceLocalPort();

struct Credentials {
    std::string user;
    std::string password;
};
Credentials StreamCredentialsA();
Credentials StreamCredentialsB();

}  // namespace kavuno::config
