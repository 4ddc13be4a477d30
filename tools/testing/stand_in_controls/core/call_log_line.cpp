#include "tools/testing/stand_in_controls/core/call_log_line.h"

#include <cstdio>

namespace kavuno::stand_in {

std::string CallLogLine(std::string_view object, long dispid, std::string_view kind,
                        const std::vector<std::string>& arguments) {
    std::string line(object);
    line += '\t';
    line += std::to_string(dispid);
    line += '\t';
    line += kind;
    for (const auto& argument : arguments) {
        line += '\t';
        for (char c : argument) {
            if (c == '\t')
                line += "\\t";
            else if (c == '\n')
                line += "\\n";
            else if (c == '\r')
                line += "\\r";
            else
                line += c;
        }
    }
    line += '\n';
    return line;
}

std::string LogNumber(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

}  // namespace kavuno::stand_in
