// One line of the call log that tests read: object, dispatch id, kind and the
// arguments, separated by tabs. Tabs and line breaks inside an argument are
// written as \t, \n and \r so that one call stays one line.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace kavuno::stand_in {

std::string CallLogLine(std::string_view object, long dispid, std::string_view kind,
                        const std::vector<std::string>& arguments);

// How a double argument is written ("%g").
std::string LogNumber(double value);

}  // namespace kavuno::stand_in
