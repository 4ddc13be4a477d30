// kavuno-release end to end in one process: keys, a published folder read
// back byte for byte and verified, the problems verify reports, and the
// names publish refuses before writing anything.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "launcher/update_list.h"
#include "tools/release/release_crypto.h"
#include "tools/release/release_tool.h"

namespace {

namespace fs = std::filesystem;
using kavuno::release::RunReleaseTool;

struct ToolRun {
    int status;
    std::string out, err;
};

ToolRun Tool(std::vector<std::string> args) {
    std::ostringstream out, err;
    int status = RunReleaseTool(args, out, err);
    return {status, out.str(), err.str()};
}

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

uint64_t Now() {
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count());
}

class ReleaseToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("kavuno-release-" + std::to_string(getpid()));
        fs::create_directories(dir_);
        ASSERT_EQ(Tool({"keygen", P("k.key"), P("k.pub")}).status, 0);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string P(const std::string& name) const { return (dir_ / name).string(); }
    uint64_t Serial(const std::string& server) {
        std::string error;
        auto list = kavuno::launcher::ParseUpdateList(Read(fs::path(server) / "movie/update.sig"), error);
        return list ? list->list.serial : 0;
    }

    fs::path dir_;
};

TEST_F(ReleaseToolTest, PublishedFoldersReadBackAndVerify) {
    EXPECT_EQ(fs::status(P("k.key")).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    ToolRun again = Tool({"keygen", P("k.key"), P("other.pub")});  // never over a key in use
    EXPECT_EQ(again.status, 1);
    EXPECT_FALSE(fs::exists(P("other.pub")));

    const std::string chinese = "电影 海报.dat";  // a blank too
    Write(P("src/movie.dat"), "catalogue");
    Write(P("src/skin/blue.bmp"), std::string(3000, '\xFF'));
    Write(P("src/" + chinese), "");
    ToolRun published = Tool(
        {"publish", P("src"), P("srv"), "--key", P("k.key"), "--target", "win64", "--serial", "42"});
    ASSERT_EQ(published.status, 0) << published.err;
    EXPECT_EQ(published.out, "published 3 files, serial 42, for win64, expiring in 30 days, to " + P("srv") + "\n");

    // The manifest: GBK names in byte order, CR LF, as the launcher reads it.
    EXPECT_EQ(Read(P("srv/movie/update.txt")),
              "3\r\nmovie.dat\r\n9\r\nskin\\blue.bmp\r\n3000\r\n\xB5\xE7\xD3\xB0 \xBA\xA3\xB1\xA8.dat\r\n0\r\n");
    EXPECT_EQ(Read(P("srv/movie/file/skin/blue.bmp")), std::string(3000, '\xFF'));
    EXPECT_TRUE(fs::is_regular_file(P("srv/movie/file/" + chinese)));
    std::string listText = Read(P("srv/movie/update.sig")), error;
    auto list = kavuno::launcher::ParseUpdateList(listText, error);
    ASSERT_TRUE(list) << error;
    EXPECT_EQ(list->list.serial, 42u);
    EXPECT_EQ(list->list.target, "win64");
    EXPECT_GE(list->list.expires, Now() + 30 * 86400 - 60);
    EXPECT_LE(list->list.expires, Now() + 30 * 86400);
    auto key = kavuno::release::EcKey::LoadPublic(P("k.pub"), error);
    ASSERT_TRUE(key) << error;
    EXPECT_TRUE(key->Verify(std::string_view(listText).substr(0, list->signedLength), list->signature));
    const auto* blue = list->list.Find("skin\\blue.bmp");
    ASSERT_NE(blue, nullptr);
    EXPECT_EQ(blue->sha256, kavuno::release::Sha256Of(std::string(3000, '\xFF')));
    ToolRun verified = Tool({"verify", P("srv"), "--public-key", P("k.pub")});
    EXPECT_EQ(verified.status, 0) << verified.out;
    EXPECT_EQ(verified.out.rfind("ok: 3 files for win64, serial 42 (1970-01-01 00:00 UTC), expires ", 0), 0u)
        << verified.out;
    EXPECT_NE(verified.out.find(" (in 30 days)\n"), std::string::npos) << verified.out;

    // Without --serial: the time in seconds, so a later publish is never lower.
    uint64_t before = Now();
    ASSERT_EQ(Tool({"publish", P("src"), P("srv"), "--key", P("k.key"), "--target", "win64"}).status, 0);
    uint64_t first = Serial(P("srv"));
    ASSERT_EQ(Tool({"publish", P("src"), P("srv2"), "--key", P("k.key"), "--target", "win64"}).status, 0);
    EXPECT_GE(first, before);
    EXPECT_LE(first, Now());
    EXPECT_GE(Serial(P("srv2")), first);
    EXPECT_EQ(Tool({"verify", P("srv2"), "--public-key", P("k.pub")}).status, 0);
}

TEST_F(ReleaseToolTest, ListsExpireNameTheirTargetAndOnlyMoveForward) {
    Write(P("src/a.dat"), "aaaa");
    auto publish = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = {"publish", P("src"), P("srv"), "--key", P("k.key")};
        args.insert(args.end(), extra.begin(), extra.end());
        return Tool(args);
    };
    auto verify = [&] { return Tool({"verify", P("srv"), "--public-key", P("k.pub")}); };
    ASSERT_EQ(publish({"--target", "win32", "--serial", "1000", "--expires-days", "3"}).status, 0);
    ToolRun soon = verify();
    EXPECT_EQ(soon.status, 0) << soon.out;
    EXPECT_EQ(soon.out.rfind("warning: update.sig expires in 3 days: publish it again before ", 0), 0u) << soon.out;
    EXPECT_NE(soon.out.find("ok: 1 files for win32, serial 1000 "), std::string::npos) << soon.out;

    // Lower than the list there, or more than a day ahead: refused, the folder as it was.
    const std::string before = Read(P("srv/movie/update.sig"));
    ToolRun lower = publish({"--target", "win32", "--serial", "999"});
    EXPECT_EQ(lower.status, 1);
    EXPECT_NE(lower.err.find("lower than 1000"), std::string::npos) << lower.err;
    ToolRun ahead = publish({"--target", "win32", "--serial", std::to_string(Now() + 86400 + 120)});
    EXPECT_EQ(ahead.status, 1);
    EXPECT_NE(ahead.err.find("more than a day ahead"), std::string::npos) << ahead.err;
    EXPECT_EQ(Read(P("srv/movie/update.sig")), before);
    EXPECT_EQ(publish({"--serial", "1001"}).status, 2);  // the target is required
    EXPECT_EQ(publish({"--target", "win16", "--serial", "1001"}).status, 2);
    EXPECT_EQ(publish({"--target", "win32", "--expires-days", "-1"}).status, 2);

    // 0 days: expired at once; verify fails on it.
    ASSERT_EQ(publish({"--target", "win64", "--serial", "1000", "--expires-days", "0"}).status, 0);
    ToolRun expired = verify();
    EXPECT_EQ(expired.status, 1);
    EXPECT_EQ(expired.out.rfind("update.sig: expired 0 hours ago (", 0), 0u) << expired.out;
}

TEST_F(ReleaseToolTest, VerifyReportsOneLinePerProblem) {
    Write(P("src/a.dat"), "aaaa");
    Write(P("src/b.dat"), "bbbb");
    Write(P("src/c.dat"), "cccc");
    ASSERT_EQ(Tool({"publish", P("src"), P("srv"), "--key", P("k.key"), "--target", "win64"}).status, 0);
    Write(P("srv/movie/file/a.dat"), "aaab");  // same size, other bytes
    fs::remove(P("srv/movie/file/b.dat"));
    // The manifest: c.dat's size changed, an entry the list lacks, one left out.
    Write(P("srv/movie/update.txt"), "3\r\na.dat\r\n4\r\nc.dat\r\n5\r\nx.dat\r\n1\r\n");
    ASSERT_EQ(Tool({"keygen", P("o.key"), P("o.pub")}).status, 0);
    ToolRun run = Tool({"verify", P("srv"), "--public-key", P("o.pub")});
    EXPECT_EQ(run.status, 1);
    std::vector<std::string> expected = {
        "update.sig: the signature is not good for " + P("o.pub"),
        "update.txt: entry 2 (c.dat): size 5, update.sig lists 4",
        "update.txt: entry 3 (x.dat): not in update.sig: the launcher updates nothing",
        "update.sig: b.dat: not in update.txt",
        "file/a.dat: SHA-256 differs from update.sig",
        "file/b.dat: missing or unreadable",
    };
    std::string lines;
    for (const auto& line : expected) lines += line + "\n";
    EXPECT_EQ(run.out, lines);

    fs::remove(P("srv/movie/update.sig"));
    run = Tool({"verify", P("srv"), "--public-key", P("k.pub")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out.rfind("update.sig: cannot read", 0), 0u) << run.out;
}

TEST_F(ReleaseToolTest, NamesTheLauncherCannotTakeStopPublishingBeforeAnyWrite) {
    struct Case {
        std::string name;
        std::string reason;
    };
    for (const Case& c : std::vector<Case>{{"表情😀.dat", "GBK cannot hold"},
                                           {"con.txt", "the launcher would refuse"},
                                           {"KavunoUp.staging/files.txt", "the launcher would refuse"},
                                           {"sub/a\\b.dat", "backslash"},
                                           {"Movie.dat", "differ only in case"}}) {
        SCOPED_TRACE(c.name);
        fs::remove_all(P("src"));
        Write(P("src/movie.dat"), "ok");
        Write(P("src/" + c.name), "x");
        ToolRun run = Tool({"publish", P("src"), P("srv"), "--key", P("k.key"), "--target", "win64"});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("nothing was written"), std::string::npos) << run.err;
        EXPECT_FALSE(fs::exists(P("srv")));
    }
    EXPECT_EQ(Tool({"publish", P("src"), P("srv"), "--key", P("k.pub"), "--target", "win64"}).status,
              1);  // a public key cannot sign
    EXPECT_FALSE(fs::exists(P("srv")));
    EXPECT_EQ(Tool({"publish", P("src"), P("srv")}).status, 2);
    EXPECT_EQ(Tool({"publish", P("src"), P("srv"), "--key", P("k.key"), "--target", "win64", "--serial", "-1"}).status,
              2);
    EXPECT_EQ(Tool({"verify", P("srv"), "--key", P("k.pub")}).status, 2);
    EXPECT_EQ(Tool({}).status, 2);
}

}  // namespace
