// The update's steps against a server, a folder and a progress bar of the
// test's own: the order of opening, creating, moving the bar and committing;
// the manifest read as the loop goes; what a closed window, a failure or an
// exception leaves behind; and, with a signed list, what is committed.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "launcher/update_run.h"
#include "tests/native/launcher/string_source.h"
#include "tests/native/launcher/test_signing_key.h"

namespace {

using kavuno::launcher::ByteSource;
using kavuno::launcher::LocalFile;
using kavuno::launcher::RunUpdate;
using kavuno::launcher::UpdateFolder;
using kavuno::launcher::UpdateProgress;
using kavuno::launcher::UpdateResult;
using kavuno::launcher::UpdateServer;
using kavuno::launcher::testing::StringSource;

// What happened, in order, across the fakes.
using Log = std::vector<std::string>;

// A source that notes when it is closed.
class LoggedSource : public StringSource {
public:
    LoggedSource(std::string name, std::string data, Log& log)
        : StringSource(std::move(data)), name_(std::move(name)), log_(log) {}
    ~LoggedSource() override { log_.push_back("close " + name_); }

private:
    std::string name_;
    Log& log_;
};

class FakeServer : public UpdateServer {
public:
    explicit FakeServer(Log& log) : log_(log) {}

    std::unique_ptr<ByteSource> OpenList() override {
        log_.push_back("open list");
        if (!list) return nullptr;
        auto source = std::make_unique<LoggedSource>("list", *list, log_);
        if (configureList) configureList(*source);
        return source;
    }
    std::unique_ptr<ByteSource> OpenManifest() override {
        log_.push_back("open manifest");
        if (!manifest) return nullptr;
        auto source = std::make_unique<LoggedSource>("manifest", *manifest, log_);
        manifestSource = source.get();
        if (configureManifest) configureManifest(*source);
        return source;
    }
    std::unique_ptr<ByteSource> OpenFile(const std::string& name) override {
        log_.push_back("open " + name);
        if (onOpenFile) onOpenFile(name);
        auto found = files.find(name);
        if (found == files.end()) return nullptr;
        auto source = std::make_unique<LoggedSource>(name, found->second, log_);
        if (configureFile) configureFile(name, *source);
        return source;
    }

    std::optional<std::string> list;
    std::optional<std::string> manifest;
    std::map<std::string, std::string> files;
    std::function<void(StringSource&)> configureList;
    std::function<void(StringSource&)> configureManifest;
    std::function<void(const std::string&, StringSource&)> configureFile;
    std::function<void(const std::string&)> onOpenFile;
    StringSource* manifestSource = nullptr;

private:
    Log& log_;
};

class FakeFolder : public UpdateFolder {
public:
    explicit FakeFolder(Log& log) : log_(log) {}

    class File : public LocalFile {
    public:
        File(FakeFolder& folder, std::string name) : folder_(folder), name_(std::move(name)) {}
        ~File() override {
            if (!committed_) folder_.log_.push_back("discard " + name_);
        }
        bool Write(const char* data, size_t size) override {
            if (folder_.failWrite) return false;
            data_.append(data, size);
            return true;
        }
        bool Commit() override {
            committed_ = true;
            folder_.log_.push_back("commit " + name_);
            folder_.files[name_] = data_;
            return true;
        }

    private:
        FakeFolder& folder_;
        std::string name_;
        std::string data_;
        bool committed_ = false;
    };

    void RemoveLeftovers() override { log_.push_back("remove leftovers"); }
    std::unique_ptr<LocalFile> Create(const std::string& name) override {
        log_.push_back("create " + name);
        if (failCreate) return nullptr;
        return std::make_unique<File>(*this, name);
    }
    void RecordCommitted(const std::string& name) override { log_.push_back("record " + name); }

    std::map<std::string, std::string> files;  // committed
    bool failCreate = false;
    bool failWrite = false;

private:
    Log& log_;
};

class FakeProgress : public UpdateProgress {
public:
    bool IsClosed() const override { return closed; }
    void SetRange(int size) override { calls.push_back("range " + std::to_string(size)); }
    void SetPos(int position) override {
        position_ = position;
        calls.push_back("pos " + std::to_string(position));
    }
    int GetPos() override { return position_; }
    uint64_t Milliseconds() override { return ms; }

    bool closed = false;
    uint64_t ms = 0;
    std::vector<std::string> calls;

private:
    int position_ = 0;
};

class TestTrust : public kavuno::launcher::UpdateTrust {
public:
    class Hash : public kavuno::launcher::Sha256 {
    public:
        void Update(const char* data, size_t size) override { stream_.Update(data, size); }
        kavuno::launcher::Sha256Digest Finish() override { return stream_.Finish(); }

    private:
        kavuno::release::Sha256Stream stream_;
    };
    bool VerifySignature(std::string_view message, const kavuno::launcher::EcdsaSignature& signature) override {
        return kavuno::launcher::testing::TestSigningKey().Verify(message, signature);
    }
    std::unique_ptr<kavuno::launcher::Sha256> NewSha256() override { return std::make_unique<Hash>(); }
    uint64_t AcceptedSerial() override { return accepted; }
    void Accept(uint64_t serial) override { accepted = serial; }
    uint64_t MinSerial() override { return floor; }
    std::string_view Target() override { return "win64"; }
    uint64_t Now() override { return now; }

    uint64_t accepted = 50;
    uint64_t floor = 0;
    uint64_t now = 1733580000;
};

class UpdateRunTest : public ::testing::Test {
protected:
    UpdateResult Run() { return RunUpdate(server, folder, progress); }
    // Log lines that start with `prefix`.
    std::vector<std::string> Only(const std::string& prefix) const {
        std::vector<std::string> lines;
        for (const auto& line : log)
            if (line.rfind(prefix, 0) == 0) lines.push_back(line);
        return lines;
    }

    Log log;
    FakeServer server{log};
    FakeFolder folder{log};
    FakeProgress progress;
    TestTrust trust;
};

TEST_F(UpdateRunTest, DownloadsEachEntryInTurnWithTheManifestOpenThroughout) {
    server.manifest = "2\r\na.dat\r\n1000\r\nsub\\b.dat\r\n3\r\n";
    server.files = {{"a.dat", std::string(1000, 'a')}, {"sub\\b.dat", "bbb"}};
    server.configureFile = [&](const std::string& name, StringSource& s) { s.announced = server.files[name].size(); };
    EXPECT_EQ(Run(), UpdateResult::kDone);
    // Each name is recorded for the uninstaller once its file is committed.
    EXPECT_EQ(log, (Log{"remove leftovers", "open manifest", "open a.dat", "create a.dat", "commit a.dat",
                        "record a.dat", "close a.dat", "open sub\\b.dat", "create sub\\b.dat", "commit sub\\b.dat",
                        "record sub\\b.dat", "close sub\\b.dat", "close manifest"}));
    EXPECT_EQ(folder.files["a.dat"], std::string(1000, 'a'));
    EXPECT_EQ(folder.files["sub\\b.dat"], "bbb");
    // Range and position 1 per entry, then a step of 200 per read of up to 200 bytes.
    EXPECT_EQ(progress.calls, (std::vector<std::string>{"range 1000", "pos 1", "pos 201", "pos 401", "pos 601",
                                                        "pos 801", "pos 1001", "range 3", "pos 1", "pos 201"}));
}

TEST_F(UpdateRunTest, TheManifestIsReadAsTheLoopGoes) {
    // Entries spread over several read-aheads of 4096 bytes: each file is
    // fetched as soon as its lines are in, long before the manifest's end.
    std::string pad(5000, ' ');
    server.manifest = "3\na.dat\n1" + pad + "\nb.dat\n1" + pad + "\nc.dat\n1" + pad + "\n" + pad + pad;
    server.files = {{"a.dat", "a"}, {"b.dat", "b"}, {"c.dat", "c"}};
    std::map<std::string, size_t> consumedAtOpen;
    std::vector<size_t> requests;
    server.onOpenFile = [&](const std::string& name) {
        consumedAtOpen[name] = server.manifestSource->Consumed();
        requests = server.manifestSource->requests;
    };
    EXPECT_EQ(Run(), UpdateResult::kDone);
    EXPECT_EQ(consumedAtOpen, (std::map<std::string, size_t>{{"a.dat", 8192}, {"b.dat", 12288}, {"c.dat", 16384}}));
    EXPECT_EQ(requests, std::vector<size_t>(4, 4096));
    EXPECT_EQ(folder.files.size(), 3u);
}

TEST_F(UpdateRunTest, AManifestOfAnySizeIsUsed) {
    // Lines after the last entry are never read: 17 MB of them (more than a
    // manifest held whole was allowed) cost nothing.
    server.manifest = "1\na.dat\n1\n" + std::string(17u << 20, '\n');
    server.files = {{"a.dat", "a"}};
    std::vector<size_t> requests;
    server.configureManifest = [&](StringSource& source) { source.onRead = [&] { requests.push_back(0); }; };
    EXPECT_EQ(Run(), UpdateResult::kDone);
    EXPECT_EQ(folder.files["a.dat"], "a");
    EXPECT_EQ(requests.size(), 1u);
}

TEST_F(UpdateRunTest, LeftoversGoEvenWhenTheManifestCannotBeOpened) {
    EXPECT_EQ(Run(), UpdateResult::kFailed);
    EXPECT_EQ(log, (Log{"remove leftovers", "open manifest"}));
}

TEST_F(UpdateRunTest, FailuresEndTheUpdateAndKeepWhatIsDone) {
    struct Case {
        const char* what;
        std::function<void()> arrange;
        Log expected;
    };
    const std::string manifest = "3\na.dat\n1\nb.dat\n1\nc.dat\n1\n";
    std::vector<Case> cases = {
        {"file cannot be opened", [&] { server.files.erase("b.dat"); }, {"open b.dat"}},
        {"file cut short",
         [&] {
             server.configureFile = [](const std::string& name, StringSource& s) {
                 if (name == "b.dat") s.announced = 2;
             };
         },
         {"open b.dat", "create b.dat", "discard b.dat", "close b.dat"}},
        {"read error",
         [&] {
             server.configureFile = [](const std::string& name, StringSource& s) {
                 if (name == "b.dat") s.failAfter = 0;
             };
         },
         {"open b.dat", "create b.dat", "discard b.dat", "close b.dat"}},
        {"local file cannot be created",
         [&] { server.onOpenFile = [&](const std::string& name) { folder.failCreate = name == "b.dat"; }; },
         {"open b.dat", "create b.dat", "close b.dat"}},
        {"local write fails",
         [&] { server.onOpenFile = [&](const std::string& name) { folder.failWrite = name == "b.dat"; }; },
         {"open b.dat", "create b.dat", "discard b.dat", "close b.dat"}},
        {"empty answer for an entry with a size",
         [&] { server.files["b.dat"] = ""; },
         {"open b.dat", "create b.dat", "discard b.dat", "close b.dat"}},
        {"manifest breaks off",
         [&] {
             server.configureManifest = [](StringSource& s) { s.failAfter = 12; };  // inside "b.dat"
         },
         {}},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        log.clear();
        folder.files.clear();
        folder.failCreate = folder.failWrite = false;
        server.configureFile = nullptr;
        server.configureManifest = nullptr;
        server.onOpenFile = nullptr;
        server.manifest = manifest;
        server.files = {{"a.dat", "a"}, {"b.dat", "b"}, {"c.dat", "c"}};
        c.arrange();
        EXPECT_EQ(Run(), UpdateResult::kFailed);
        EXPECT_EQ(folder.files, (std::map<std::string, std::string>{{"a.dat", "a"}}));
        Log tail;
        for (size_t i = 0; i < log.size(); ++i)
            if (log[i] == "close a.dat") tail.assign(log.begin() + static_cast<long>(i) + 1, log.end() - 1);
        EXPECT_EQ(tail, c.expected);
        EXPECT_EQ(Only("record"), std::vector<std::string>{"record a.dat"});
        EXPECT_EQ(log.back(), "close manifest");
        EXPECT_TRUE(Only("open c.dat").empty());
    }
}

TEST_F(UpdateRunTest, UnsafeNamesAreSkippedWithoutAsking) {
    server.manifest = "4\n..\\up.dat\n1\nNUL \n1\nCON .txt\n1\nok.dat\n1\n";
    server.files = {{"ok.dat", "k"}};
    EXPECT_EQ(Run(), UpdateResult::kDone);
    EXPECT_EQ(Only("open"), (std::vector<std::string>{"open manifest", "open ok.dat"}));
}

TEST_F(UpdateRunTest, AWindowClosedWhileTheServerIsSlowGetsNothingCreated) {
    server.manifest = "2\na.dat\n1\nb.dat\n1\n";
    server.files = {{"a.dat", "a"}, {"b.dat", "b"}};
    // The window closes while the worker waits for the server; the answer comes late.
    server.onOpenFile = [&](const std::string&) { progress.closed = true; };
    EXPECT_EQ(Run(), UpdateResult::kCancelled);
    EXPECT_TRUE(Only("create").empty());
    EXPECT_TRUE(Only("record").empty());
    EXPECT_TRUE(progress.calls.empty());
    EXPECT_EQ(Only("open"), (std::vector<std::string>{"open manifest", "open a.dat"}));
}

TEST_F(UpdateRunTest, AWindowClosedMidTransferLeavesTheOldFile) {
    server.manifest = "1\na.dat\n1000\n";
    server.files = {{"a.dat", std::string(1000, 'a')}};
    server.configureFile = [&](const std::string&, StringSource& s) {
        s.onRead = [&] { progress.closed = s.Consumed() >= 400; };
    };
    EXPECT_EQ(Run(), UpdateResult::kCancelled);
    EXPECT_TRUE(folder.files.empty());
    EXPECT_EQ(Only("discard"), (std::vector<std::string>{"discard a.dat"}));
}

TEST_F(UpdateRunTest, NothingThrownInsideGetsOut) {
    // Out of memory anywhere: in the manifest, opening a file, mid-transfer.
    // The update ends as a failure would; a half-written file is discarded.
    server.manifest = "2\na.dat\n1\nb.dat\n500\n";
    server.files = {{"a.dat", "a"}, {"b.dat", std::string(500, 'b')}};
    server.configureFile = [](const std::string& name, StringSource& s) {
        if (name == "b.dat") s.throwAfter = 200;
    };
    EXPECT_EQ(Run(), UpdateResult::kException);
    EXPECT_EQ(folder.files, (std::map<std::string, std::string>{{"a.dat", "a"}}));
    EXPECT_EQ(Only("discard"), (std::vector<std::string>{"discard b.dat"}));
    EXPECT_EQ(log.back(), "close manifest");

    log.clear();
    server.configureManifest = [](StringSource& s) { s.throwAfter = 0; };
    EXPECT_EQ(Run(), UpdateResult::kException);

    log.clear();
    server.configureManifest = nullptr;
    server.onOpenFile = [](const std::string&) { throw std::bad_alloc(); };
    EXPECT_EQ(Run(), UpdateResult::kException);
    EXPECT_TRUE(Only("create").empty());
}

TEST_F(UpdateRunTest, LessThan32KiBInAny30SecondsIsAStall) {
    // a.dat's reads hand out `chunk` bytes, `ms` apart: 32 KiB in 30 s is 200 bytes every 183 ms.
    struct Case {
        size_t size, chunk;
        uint64_t ms;
        UpdateResult result;
    };
    for (const Case& c : std::vector<Case>{{40, 1, 2000, UpdateResult::kFailed},
                                           {100000, 200, 190, UpdateResult::kFailed},
                                           {100000, 200, 180, UpdateResult::kDone},
                                           {40, 1, 700, UpdateResult::kDone}}) {  // slow, but over within 30 s
        SCOPED_TRACE(c.ms);
        folder.files.clear();
        server.manifest = "2\na.dat\n1\nb.dat\n1\n";
        server.files = {{"a.dat", std::string(c.size, 'a')}, {"b.dat", "b"}};
        const uint64_t start = progress.ms;
        server.configureFile = [&](const std::string& name, StringSource& s) {
            s.maxRead = name == "a.dat" ? c.chunk : SIZE_MAX;
            s.onRead = [&] { progress.ms += c.ms; };
        };
        EXPECT_EQ(Run(), c.result);
        EXPECT_EQ(folder.files.size(), c.result == UpdateResult::kDone ? 2u : 0u);
        EXPECT_LT(progress.ms - start, c.result == UpdateResult::kDone ? UINT64_MAX : 30000 + c.ms);
    }
    // A trickling manifest is a stall too.
    server.configureManifest = [&](StringSource& s) {
        s.maxRead = 1;
        s.onRead = [&] { progress.ms += 2000; };
    };
    EXPECT_EQ(Run(), UpdateResult::kFailed);
}

TEST_F(UpdateRunTest, ASignedListDecidesWhatIsCommitted) {
    using kavuno::launcher::testing::Listed;
    using kavuno::launcher::testing::SignedList;
    const std::map<std::string, std::string> files = {
        {"a.dat", "aaa"}, {"b.dat", std::string(1000, 'b')}, {"c.dat", "c"}};
    auto listOf = [&](uint64_t serial, std::vector<std::string> names, uint64_t expires = 4000000000,
                      std::string_view target = "win64") {
        std::vector<kavuno::launcher::ListedFile> listed;
        for (const auto& name : names) listed.push_back(Listed(name, files.count(name) ? files.at(name) : name));
        return SignedList(serial, listed, expires, target);
    };
    struct Case {
        const char* what;
        std::function<void()> arrange;
        UpdateResult result;
        std::vector<std::string> committed;
        uint64_t accepted = 100;
        std::function<void()> also = [] {};
    };
    StringSource* b = nullptr;
    std::vector<Case> cases = {
        {"good", [] {}, UpdateResult::kDone, {"a.dat", "b.dat", "c.dat"}},
        {"same serial again", [&] { trust.accepted = 100; }, UpdateResult::kDone, {"a.dat", "b.dat", "c.dat"}},
        // The manifest must name exactly the list's files, each once, before anything is fetched.
        {"a list listing more than the manifest",
         [&] {
             server.list = listOf(100, {"a.dat", "b.dat", "c.dat", "z"});
         },
         UpdateResult::kRefused,
         {}},
        {"manifest leaves out a listed file",
         [&] { server.manifest = "2\na.dat\n3\nc.dat\n1\n"; },
         UpdateResult::kRefused,
         {}},
        {"manifest of 0", [&] { server.manifest = "0\n"; }, UpdateResult::kRefused, {}},
        {"a name twice",
         [&] { server.manifest = "4\na.dat\n3\nb.dat\n1000\nc.dat\n1\na.dat\n3\n"; },
         UpdateResult::kRefused,
         {}},
        {"an unsafe name, even listed",
         [&] {
             server.list = listOf(100, {"a.dat", "b.dat", "c.dat", "NUL"});
             server.manifest = "4\na.dat\n3\nb.dat\n1000\nc.dat\n1\nNUL\n1\n";
         },
         UpdateResult::kRefused,
         {}},
        {"more than 10,000 entries promised",
         [&] { server.manifest = "10001\na.dat\n3\nb.dat\n1000\nc.dat\n1\n"; },
         UpdateResult::kRefused,
         {}},
        {"more than a mebibyte of manifest",
         [&] { server.manifest = "3\na.dat\n3\nb.dat\n1000\nc.dat" + std::string(1u << 20, ' ') + "\n1\n"; },
         UpdateResult::kRefused,
         {}},
        {"manifest breaks off",
         [&] { server.configureManifest = [](StringSource& s) { s.failAfter = 12; }; },
         UpdateResult::kFailed,
         {}},
        // The list itself: expiry, target, format and the floor.
        {"expired",
         [&] {
             server.list = listOf(100, {"a.dat", "b.dat", "c.dat"}, trust.now);
         },
         UpdateResult::kRefused,
         {},
         50},
        {"for the other build",
         [&] {
             server.list = listOf(100, {"a.dat", "b.dat", "c.dat"}, 4000000000, "win32");
         },
         UpdateResult::kRefused,
         {},
         50},
        {"below the floor without a record",
         [&] {
             trust.accepted = 0;
             trust.floor = 101;
         },
         UpdateResult::kRefused,
         {},
         0},
        {"at the floor", [&] { trust.floor = 100; }, UpdateResult::kDone, {"a.dat", "b.dat", "c.dat"}},
        {"no list", [&] { server.list.reset(); }, UpdateResult::kFailed, {}, 50},
        {"list cut off",
         [&] { server.configureList = [](StringSource& s) { s.announced = 100000; }; },
         UpdateResult::kRefused,
         {},
         50},
        {"list too large",
         [&] { server.list = std::string(kavuno::launcher::kMaxUpdateListSize + 5000, 'x'); },
         UpdateResult::kRefused,
         {},
         50},
        {"bad signature",
         [&] {
             server.list->replace(server.list->size() - 3, 1,
                                  server.list->at(server.list->size() - 3) == '0' ? "1" : "0");
         },
         UpdateResult::kRefused,
         {},
         50},
        {"older serial", [&] { trust.accepted = 101; }, UpdateResult::kRefused, {}, 101},
        {"tampered file", [&] { server.files["b.dat"][500] = 'x'; }, UpdateResult::kRefused, {"a.dat"}},
        {"endless file",
         [&] {
             server.files["b.dat"] = std::string(1000000, 'b');
             server.configureFile = [&](const std::string& name, StringSource& s) {
                 if (name == "b.dat") b = &s;
             };
         },
         UpdateResult::kRefused,
         {"a.dat"}},
        {"short file without a length", [&] { server.files["b.dat"].pop_back(); }, UpdateResult::kRefused, {"a.dat"}},
        {"announced length differs",
         [&] {
             server.configureFile = [](const std::string& name, StringSource& s) {
                 if (name == "b.dat") s.announced = 999;
             };
         },
         UpdateResult::kRefused,
         {"a.dat"},
         100,
         [&] { EXPECT_TRUE(Only("create b.dat").empty()); }},
        {"entry not in the list",
         [&] {
             server.list = listOf(100, {"a.dat", "c.dat"});
         },
         UpdateResult::kRefused,
         {}},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        log.clear();
        folder.files.clear();
        server.configureList = nullptr;
        server.configureFile = nullptr;
        server.files = files;
        server.manifest = "3\na.dat\n3\nb.dat\n1000\nc.dat\n1\n";
        server.list = listOf(100, {"a.dat", "b.dat", "c.dat"});
        trust.accepted = 50;
        trust.floor = 0;
        server.configureManifest = nullptr;
        b = nullptr;
        c.arrange();
        EXPECT_EQ(RunUpdate(server, folder, progress, &trust), c.result);
        std::vector<std::string> committed;
        for (const auto& [name, data] : folder.files) {
            committed.push_back(name);
            EXPECT_EQ(data, files.at(name)) << name;
        }
        EXPECT_EQ(committed, c.committed);
        EXPECT_EQ(trust.accepted, c.accepted);
        EXPECT_EQ(log.front(), "remove leftovers");
        EXPECT_EQ(log[1], "open list");
        // Nothing of the manifest without a good list; nothing after a refused file.
        EXPECT_EQ(Only("open manifest").size(), c.accepted == 100 ? 1u : 0u);
        EXPECT_TRUE(c.committed.size() != 1 || Only("open c.dat").empty());
        EXPECT_TRUE(!c.committed.empty() || Only("create").empty());
        EXPECT_EQ(Only("record").size(), c.committed.size());
        if (b) {
            EXPECT_EQ(b->Consumed(), 1001u);  // read up to one byte past the listed size
        }
        c.also();
    }
}

}  // namespace
