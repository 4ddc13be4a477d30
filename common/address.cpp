#include "common/address.h"

namespace kavuno {

std::string HostOfAddress(std::string_view address) {
    if (const auto scheme = address.find("://"); scheme != std::string_view::npos) address.remove_prefix(scheme + 3);
    address = address.substr(0, address.find_first_of("/?#"));
    if (const auto at = address.rfind('@'); at != std::string_view::npos) address.remove_prefix(at + 1);
    if (address.starts_with('[')) {
        const auto close = address.find(']');
        return std::string(address.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    }
    return std::string(address.substr(0, address.find(':')));
}

}  // namespace kavuno
