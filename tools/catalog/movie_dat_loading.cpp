#include "tools/catalog/movie_dat_loading.h"

#include "tools/catalog/file_io.h"

namespace kavuno::tool {

bool LoadForTool(const std::string& utf8Path, catalogue::RecordArray& records, catalogue::LoadResult& result,
                 std::ostream& err) {
    std::string error;
    if (!CheckNotDirectory(utf8Path, error)) {
        err << "kavuno-catalog: " << error << '\n';
        return false;
    }
    result = catalogue::LoadCatalogue(PathFromUtf8(utf8Path), records);
    if (result.status == catalogue::LoadResult::Status::CannotOpen) {
        err << "kavuno-catalog: cannot read " << utf8Path << ": " << result.message << '\n';
        return false;
    }
    return true;
}

void ReportDamage(const std::string& utf8Path, const catalogue::LoadResult& result, std::ostream& out,
                  std::ostream& err) {
    out.flush();
    err << "kavuno-catalog: " << utf8Path << ": " << result.message << " at byte " << result.offset << '\n';
}

}  // namespace kavuno::tool
