// dump and build: movie.dat to JSON Lines and back.
#include <string>
#include <string_view>
#include <vector>

#include "player/catalogue/catalogue_file.h"
#include "player/catalogue/record_array.h"
#include "tools/catalog/catalog_tool.h"
#include "tools/catalog/commands.h"
#include "tools/catalog/file_io.h"
#include "tools/catalog/json_line.h"
#include "tools/catalog/movie_dat_loading.h"
#include "tools/catalog/record_json.h"

namespace kavuno::tool {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Turns every line of a records file into a record; on the first bad line
// reports it as FILE:LINE: and returns false.
bool RecordsFromJsonLines(const std::string& name, std::string_view text, std::vector<catalogue::MovieRecord>& records,
                          std::ostream& err) {
    if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) text.remove_prefix(kUtf8Bom.size());
    size_t lineNumber = 0;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        if (IsBlankLine(line)) continue;

        auto where = [&] { return "kavuno-catalog: " + name + ":" + std::to_string(lineNumber) + ": "; };
        JsonError jsonError;
        auto object = ParseJsonObjectLine(line, jsonError);
        if (!object) {
            err << where() << "bad JSON at column " << jsonError.column << ": " << jsonError.message << '\n';
            return false;
        }
        catalogue::RecordFields fields;
        std::string error;
        if (!RecordFieldsFromJson(*object, fields, error)) {
            err << where() << error << '\n';
            return false;
        }
        records.emplace_back(fields);
    }
    return true;
}

}  // namespace

int RunDump(const Request& request, std::ostream& out, std::ostream& err) {
    catalogue::RecordArray records;
    catalogue::LoadResult result;
    if (!LoadForTool(request.input, records, result, err)) return kExitFailed;
    // What was read before a fault is printed too: it is what the player keeps.
    size_t inexact = 0;
    for (size_t i = 0; i < records.size(); ++i) {
        bool exact = true;
        out << RecordToJsonLine(records[i], i, exact) << '\n';
        if (!exact) ++inexact;
    }
    if (inexact > 0) {
        out.flush();
        err << "kavuno-catalog: note: " << inexact << " entries hold bytes that are not GBK characters;"
            << " they are shown as replacement characters\n";
    }
    if (!result.ok()) {
        ReportDamage(request.input, result, out, err);
        return kExitFailed;
    }
    return kExitOk;
}

int RunBuild(const Request& request, std::ostream&, std::ostream& err) {
    std::string text, error;
    if (!ReadWholeFile(request.input, text, error)) {
        err << "kavuno-catalog: " << error << '\n';
        return kExitFailed;
    }
    std::vector<catalogue::MovieRecord> records;
    if (!RecordsFromJsonLines(request.input, text, records, err)) return kExitFailed;
    if (!WriteFileAtomically(request.output, catalogue::CatalogueBytes(records), error)) {
        err << "kavuno-catalog: " << error << '\n';
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace kavuno::tool
