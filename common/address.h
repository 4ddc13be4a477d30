// Pieces of service addresses such as "http://127.0.0.1:8780/ad".
#pragma once
#include <string>
#include <string_view>

namespace kavuno {

// The host name of an address: without scheme, user name and password, port,
// path, query and fragment ("http://user@site.example:8080/ad" gives
// "site.example"; "[::1]" and "[::1]:80" give "::1"). A bare host stays as it is.
std::string HostOfAddress(std::string_view address);

}  // namespace kavuno
