#include "tests/bench/catalogue_generator.h"

#include <cstdint>
#include <string_view>

#include "player/catalogue/archive.h"
#include "player/catalogue/movie_record.h"

namespace kavuno::bench {
namespace {

using catalogue::ArchiveWriter;
using catalogue::MovieRecord;
using catalogue::RecordFields;

// Top-level groups and their second-level leaves (GBK): 电影 动作 喜剧 爱情
// 科幻 恐怖 战争 动画 纪录; 电视剧 国产剧 港台剧 日韩剧 欧美剧; 综艺 音乐 体育.
struct Group {
    const char* name;
    std::vector<const char*> kinds;
};
const std::vector<Group>& Groups() {
    static const std::vector<Group> groups = {
        {"\xB5\xE7\xD3\xB0",
         {"\xB6\xAF\xD7\xF7", "\xCF\xB2\xBE\xE7", "\xB0\xAE\xC7\xE9", "\xBF\xC6\xBB\xC3", "\xBF\xD6\xB2\xC0",
          "\xD5\xBD\xD5\xF9", "\xB6\xAF\xBB\xAD", "\xBC\xCD\xC2\xBC"}},
        {"\xB5\xE7\xCA\xD3\xBE\xE7",
         {"\xB9\xFA\xB2\xFA\xBE\xE7", "\xB8\xDB\xCC\xA8\xBE\xE7", "\xC8\xD5\xBA\xAB\xBE\xE7",
          "\xC5\xB7\xC3\xC0\xBE\xE7"}},
        {"\xD7\xDB\xD2\xD5", {"\xD2\xF4\xC0\xD6", "\xCC\xE5\xD3\xFD"}},
    };
    return groups;
}

// splitmix64: fast, and the same sequence everywhere.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }

private:
    std::uint64_t state_;
};

// A common Chinese character: GB2312 level 1, lead 0xB0-0xD7, second 0xA1-0xFE.
void AppendHanzi(Random& r, std::string& out, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        out += static_cast<char>(0xB0 + r.Below(0xD7 - 0xB0 + 1));
        out += static_cast<char>(0xA1 + r.Below(0xFE - 0xA1 + 1));
    }
}

std::string Digits(Random& r, std::size_t count) {
    std::string s;
    for (std::size_t i = 0; i < count; ++i) s += static_cast<char>('0' + r.Below(10));
    return s;
}

RecordFields Movie(Random& r, std::size_t serial) {
    RecordFields f;
    AppendHanzi(r, f.title, 3 + r.Below(8));
    if (r.Below(8) == 0) f.title += " " + Digits(r, 1 + r.Below(2));
    for (std::size_t n = 1 + r.Below(4); n > 0; --n) {
        AppendHanzi(r, f.actor, 2 + r.Below(3));
        if (n > 1) f.actor += ",";
    }
    static const char* const kServers[] = {"", "1", "2", "3", "4", "", "2", ""};
    f.server = kServers[r.Below(8)];
    f.path = "movie/" + std::to_string(1998 + r.Below(10)) + "/" + static_cast<char>('a' + r.Below(26)) + "/";
    f.file = Digits(r, 8) + (r.Below(3) == 0 ? ".wmv" : ".rm");
    f.id = std::to_string(serial);
    f.playable = 1;
    f.detail = r.Below(4) != 0;
    f.player = f.file.ends_with(".wmv");
    f.video = r.Below(3) != 0;
    return f;
}

}  // namespace

std::vector<std::string> GeneratedRootLines() {
    std::vector<std::string> lines;
    for (const Group& g : Groups()) {
        lines.emplace_back(g.name);
        for (const char* kind : g.kinds) lines.push_back(std::string(">") + kind);
    }
    return lines;
}

bool WriteGeneratedCatalogue(std::size_t records, std::FILE* out) {
    std::vector<const char*> kinds;
    for (const Group& g : Groups()) kinds.insert(kinds.end(), g.kinds.begin(), g.kinds.end());
    Random r(20040601);
    std::string bytes;
    ArchiveWriter ar(bytes);
    ar.WriteI32(static_cast<std::int32_t>(records));
    std::size_t episodesLeft = 0;
    RecordFields series;
    for (std::size_t i = 0; i < records; ++i) {
        RecordFields f = Movie(r, i);
        if (episodesLeft > 0) {
            // An episode: listed only under its series.
            f.kind = series.kind;
            f.parent = series.title;
            f.title = series.title + " " +
                      std::to_string(series.playable - static_cast<std::int32_t>(episodesLeft) + 1);
            --episodesLeft;
        } else {
            f.kind = kinds[r.Below(kinds.size())];
            if (r.Below(20) == 0) {
                // A series: chosen, it lists its episodes instead of playing.
                f.playable = 0;
                episodesLeft = 2 + r.Below(20);
                series = f;
                series.playable = static_cast<std::int32_t>(episodesLeft);
            }
        }
        ar.WriteRecordHeader();
        MovieRecord(f).Serialize(ar);
        if (bytes.size() >= (1u << 20) || i + 1 == records) {
            if (std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) return false;
            bytes.clear();
        }
    }
    return std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
}

}  // namespace kavuno::bench
