#include "settings/config_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>

#include "core/events.h"
#include "settings_test_support.h"

namespace {

// The in-place algorithm on one flat buffer, written straight from its description:
// the block buffer of the store must give exactly these bytes.
struct FlatBuffer {
    std::string buf;

    std::size_t FindHeader(const std::string& section) const {
        const std::string pattern = "[" + section + "]";
        for (std::size_t p = 0;;) {
            const auto m = buf.find(pattern, p);
            if (m == std::string::npos) return m;
            if (m == 0 || (m >= 2 && buf[m - 2] == '\r' && buf[m - 1] == '\n')) return m;
            p = m + 1;
        }
    }
    // A section header line CR LF "[" text "]" CR LF starting in [from, to).
    bool HeaderLineBetween(std::size_t from, std::size_t to) const {
        for (auto q = buf.find("\r\n[", from); q != std::string::npos && q < to;
             q = buf.find("\r\n[", q + 1)) {
            const auto end = buf.find("\r\n", q + 2);
            if (end != std::string::npos && buf[end - 1] == ']' && end - (q + 2) >= 2) return true;
        }
        return false;
    }
    std::size_t FindKey(std::size_t header, const std::string& section,
                        const std::string& key) const {
        const std::size_t close = header + section.size() + 1;
        const auto m = buf.find("\r\n" + key + "=", close);
        if (m == std::string::npos || HeaderLineBetween(close, m)) return std::string::npos;
        return m;
    }
    std::size_t ValueEnd(std::size_t start) const {
        const auto end = buf.find("\r\n", start);
        return end == std::string::npos ? buf.size() : end;
    }
    void Write(const std::string& section, const std::string& key, const std::string& value) {
        for (;;) {
            const auto header = FindHeader(section);
            if (header == std::string::npos) {
                buf += (buf.empty() ? "" : "\r\n") + ("[" + section + "]");
                continue;
            }
            const auto m = FindKey(header, section, key);
            if (m != std::string::npos) {
                const auto start = m + 2 + key.size() + 1;
                buf.replace(start, ValueEnd(start) - start, value);
                return;
            }
            buf.insert(header + section.size() + 2, "\r\n" + key + "=");
        }
    }
    std::optional<std::string> Read(const std::string& section, const std::string& key) const {
        const auto header = FindHeader(section);
        if (header == std::string::npos) return std::nullopt;
        const auto m = FindKey(header, section, key);
        if (m == std::string::npos) return std::nullopt;
        const auto start = m + 2 + key.size() + 1;
        return buf.substr(start, ValueEnd(start) - start);
    }
    int Delete(const std::string& section, const std::string& key) {
        const auto header = FindHeader(section);
        if (header == std::string::npos) return 1;
        if (key.empty()) {
            for (auto q = buf.find("\r\n[", header); q != std::string::npos;
                 q = buf.find("\r\n[", q + 1)) {
                const auto end = buf.find("\r\n", q + 2);
                if (end != std::string::npos && buf[end - 1] == ']' && end - (q + 2) >= 2) {
                    buf.erase(header, q + 2 - header);
                    return 0;
                }
            }
            buf.erase(header);
            return 0;
        }
        const auto m = FindKey(header, section, key);
        if (m == std::string::npos) return 2;
        buf.erase(m, ValueEnd(m + 2 + key.size() + 1) - m);
        return 0;
    }
};

class ConfigStoreTest : public ::testing::Test {
protected:
    void Bind(const std::string& content) {
        WriteFile(m_file, content);
        ASSERT_TRUE(m_store.Bind(m_file));
    }
    TempFolder m_folder;
    std::string m_file = m_folder / "s.ini";
    ConfigStore m_store;
};

TEST_F(ConfigStoreTest, DataModelExampleByteForByte) {
    ASSERT_TRUE(m_store.Bind(m_file));  // a missing file is created empty
    m_store.SelectSection(G("基本配置"));
    EXPECT_TRUE(m_store.WriteLogical(G("同步循环"), false));
    EXPECT_TRUE(m_store.WriteText(G("循环间隔秒"), "0.01"));
    m_store.SelectSection(G("站点配置"));
    EXPECT_TRUE(m_store.WriteNumber(G("站点数"), 2));
    const std::string expected =
        G("[基本配置]\r\n循环间隔秒=0.01\r\n同步循环=假\r\n[站点配置]\r\n站点数=2");
    EXPECT_EQ(m_store.Content(), expected);
    EXPECT_EQ(ReadFile(m_file), expected);
}

TEST_F(ConfigStoreTest, HeaderAndKeyMatchingRules) {
    Bind("x[A]\r\nk=1\r\n[A]\r\nk =2\r\n[B]\r\nk=3\r\n[C]tail\r\nc=4");
    // "x[A]" is no header; a key with blanks is another key; k of B is not A's.
    EXPECT_EQ(m_store.ReadValue("A", "k"), std::nullopt);
    EXPECT_EQ(m_store.ReadValue("A", "k "), "2");
    EXPECT_EQ(m_store.ReadValue("B", "k"), "3");
    EXPECT_EQ(m_store.ReadValue("C", "c"), "4");  // text after "]" does not matter
    EXPECT_TRUE(m_store.WriteValue("A", "k", "new"));
    EXPECT_EQ(ReadFile(m_file),
              "x[A]\r\nk=1\r\n[A]\r\nk=new\r\nk =2\r\n[B]\r\nk=3\r\n[C]tail\r\nc=4");
}

TEST_F(ConfigStoreTest, EmptyValueIsNotTheDefault) {
    Bind("[S]\r\nt=\r\nn=\r\nl=");
    m_store.SelectSection("S");
    EXPECT_EQ(m_store.ReadText("t", "dflt"), "");
    EXPECT_EQ(m_store.ReadNumber("n", 7), 0);
    EXPECT_FALSE(m_store.ReadLogical("l", true));
    EXPECT_EQ(m_store.ReadText("missing", "dflt"), "dflt");
    EXPECT_EQ(m_store.ReadNumber("missing", 7), 7);
    EXPECT_TRUE(m_store.ReadLogical("missing", true));
}

TEST_F(ConfigStoreTest, TypedValuesEncode) {
    ASSERT_TRUE(m_store.Bind(m_file));
    m_store.SelectSection("S");
    m_store.WriteText("t", "a\r\nb\r\nc");
    m_store.WriteNumber("n", 0.1 + 0.2);
    m_store.WriteNumber("i", -1);
    m_store.WriteLogical("l", true);
    EXPECT_EQ(m_store.ReadValue("S", "t"), G("a┊*┊b┊*┊c"));
    EXPECT_EQ(m_store.ReadValue("S", "n"), "0.3");
    EXPECT_EQ(m_store.ReadValue("S", "i"), "-1");
    EXPECT_EQ(m_store.ReadValue("S", "l"), G("真"));
    EXPECT_EQ(m_store.ReadText("t", ""), "a\r\nb\r\nc");
    // The mark typed by a user comes back as a line break; only "真" is true.
    m_store.WriteValue("S", "u", G("x┊*┊y"));
    EXPECT_EQ(m_store.ReadText("u", ""), "x\r\ny");
    m_store.WriteValue("S", "l", "true");
    EXPECT_FALSE(m_store.ReadLogical("l", true));
    m_store.WriteValue("S", "n", "12abc");
    EXPECT_EQ(m_store.ReadNumber("n", 0), 12);
}

TEST_F(ConfigStoreTest, DeleteSectionExactBytes) {
    struct Case {
        std::string before, section, after;
        int result;
    };
    const Case cases[] = {
        {"[A]\r\nk=1", "A", "", 0},  // the only section
        {"[A]\r\nk=1\r\n[B]\r\nj=2\r\n[C]\r\n", "B", "[A]\r\nk=1\r\n[C]\r\n", 0},  // middle
        {"[A]\r\nk=1\r\n[B]\r\nj=2", "B", "[A]\r\nk=1\r\n", 0},  // last: ends in CR LF
        {"[A]\r\nk=1\r\n[B]tail\r\nj=2\r\n[C]\r\nx", "A", "[C]\r\nx",
         0},  // "[B]tail" no header line
        {"[A]\r\nk=1", "Z", "[A]\r\nk=1", 1},
    };
    for (const auto& c : cases) {
        Bind(c.before);
        EXPECT_EQ(m_store.Delete(c.section, ""), c.result) << c.before;
        EXPECT_EQ(ReadFile(m_file), c.after) << c.before;
    }
    Bind("[A]\r\nk=1\r\nj=2");
    EXPECT_EQ(m_store.Delete("A", "k"), 0);
    EXPECT_EQ(m_store.Delete("A", "k"), 2);
    EXPECT_EQ(ReadFile(m_file), "[A]\r\nj=2");
}

TEST_F(ConfigStoreTest, SectionWithoutKeysBeforeOneWithTheKey) {
    Bind("[A]\r\n[B]\r\nk=1");
    m_store.SelectSection("A");
    EXPECT_EQ(m_store.ReadText("k", "dflt"), "dflt");
    EXPECT_TRUE(m_store.WriteText("k", "2"));
    EXPECT_EQ(ReadFile(m_file), "[A]\r\nk=2\r\n[B]\r\nk=1");
}

// A header with text after its "]" (a blank, a tab) is no section header line, so a
// key search from the section before it runs on into the next section's keys; a write
// that inserts under such a header cuts the text off and makes it one.
TEST_F(ConfigStoreTest, KeySearchRunsOnPastHeadersWithTextAfterTheBracket) {
    Bind("[A] \r\nx=1\r\n[B]\t\r\n[C]tail\r\nk=2\r\n[D]\r\nk=3\r\nj=4\r\n[E]");
    EXPECT_EQ(m_store.ReadValue("A", "k"), "2");
    EXPECT_EQ(m_store.ReadValue("B", "k"), "2");
    EXPECT_EQ(m_store.ReadValue("A", "j"), std::nullopt);  // [D] stops it
    EXPECT_EQ(m_store.ReadValue("D", "j"), "4");
    EXPECT_EQ(m_store.ReadValue("E", "k"), std::nullopt);

    // Writing k under A changes C's line. A new key under B takes the header's text as
    // its first value, and [B] becomes a header line that from then on stops A's
    // searches; so does [A] for nothing before it, losing its blank.
    EXPECT_TRUE(m_store.WriteValue("A", "k", "5"));
    EXPECT_TRUE(m_store.WriteValue("B", "n", "6"));
    EXPECT_EQ(m_store.ReadValue("A", "n"), std::nullopt);
    EXPECT_EQ(m_store.ReadValue("A", "k"), std::nullopt);
    EXPECT_EQ(m_store.ReadValue("B", "k"), "5");
    EXPECT_TRUE(m_store.WriteValue("A", "n", "7"));
    EXPECT_EQ(ReadFile(m_file),
              "[A]\r\nn=7\r\nx=1\r\n[B]\r\nn=6\r\n[C]tail\r\nk=5\r\n[D]\r\nk=3\r\nj=4\r\n[E]");

    // Once the key B's search found is gone, the search ends at [D].
    EXPECT_EQ(m_store.Delete("C", "k"), 0);
    EXPECT_EQ(m_store.ReadValue("B", "k"), std::nullopt);
    EXPECT_EQ(m_store.ReadValue("D", "k"), "3");
    // Removing B takes "[C]tail" with it, up to the header line [D].
    EXPECT_EQ(m_store.Delete("B", ""), 0);
    EXPECT_EQ(m_store.ReadValue("C", "k"), std::nullopt);
    EXPECT_EQ(ReadFile(m_file), "[A]\r\nn=7\r\nx=1\r\n[D]\r\nk=3\r\nj=4\r\n[E]");
}

// A buffer of random lines, many of them headers with text after the "]", so searches
// run across several sections.
std::string RandomLines(std::mt19937& random) {
    static const std::vector<std::string> lines = {
        "[A]",    "[A] ", "[A]\r", "[B]", "[B] ", "[B]x=1", "[C]",   "[C]\r", "[a]b]",
        "[a]b] ", "[]",   "[",     "[A",  "[A]]", "k=1",    "k=2",   "k =3",  "k==4",
        "j=",     "=e",   "x y=5", "x",   "",     " [A]",   "k=6\r", "\nk=7",
    };
    const std::size_t count = random() % 14;
    std::string out;
    for (std::size_t i = 0; i < count; ++i) {
        if (i) out += "\r\n";
        out += lines[random() % lines.size()];
    }
    return out;
}

// Random operations on tricky buffers, against the flat algorithm.
TEST_F(ConfigStoreTest, SameBytesAsTheFlatAlgorithm) {
    const std::vector<std::string> starts = {
        "",
        "[A]",
        "[A]x\r\nk=1",
        "junk\r\n[B]\r\nk=2\r\n",
        "[A]\r\n[B]\r\nk=3",
        "[a]b]\r\nk=4\r\n[a]\r\nk=5",
        "\r\n[A]\r\n\r\n",
        "x[A]\r\nk=6\r\n[A]\r\nk =7\r\nk=8\r\n[]\r\nk=9",
        "[A\r\nk=1\r\n[A]]\r\n[B]\rk=2\n\r\n[C]",
        "\r\r\n\n[B]\r\n=e\r\nk==f",
        "[A] \r\nj=1\r\n[B] \r\n[C]\r\r\nk=2\r\n[a] \r\nk=3\r\n[B]\r\nk=4",
    };
    const std::vector<std::string> sections = {"A", "B", "C", "a]b", "a", "", "A]"};
    const std::vector<std::string> keys = {"k", "k ", "", "k=", "j", "x y"};
    const std::vector<std::string> values = {"", "v", "[A]", "1", "v\r", "\nv", "]", "==", " "};
    std::mt19937 random(12345);
    auto pick = [&](const std::vector<std::string>& from) { return from[random() % from.size()]; };
    for (int round = 0; round < 600; ++round) {
        // Binding makes every line end CR LF; the flat algorithm starts from there.
        FlatBuffer flat{NormaliseLineEnds(round % 2 ? RandomLines(random) : pick(starts))};
        Bind(flat.buf);
        ConfigStore::Batch batch(m_store);  // one publish per round keeps the test quick
        for (int op = 0; op < 30; ++op) {
            const std::string section = pick(sections), key = pick(keys);
            switch (random() % 4) {
                case 0:
                case 1: {
                    const std::string value = pick(values);
                    flat.Write(section, key, value);
                    ASSERT_TRUE(m_store.WriteValue(section, key, value));
                    break;
                }
                case 2: {
                    const std::string k = random() % 2 ? std::string() : key;
                    ASSERT_EQ(m_store.Delete(section, k), flat.Delete(section, k));
                    break;
                }
                default:
                    ASSERT_EQ(m_store.ReadValue(section, key), flat.Read(section, key));
            }
            ASSERT_EQ(m_store.Content(), flat.buf) << "round " << round << " op " << op;
        }
        ASSERT_TRUE(batch.End());
        ASSERT_EQ(ReadFile(m_file), flat.buf);
    }
}

TEST_F(ConfigStoreTest, WritesDuringAWriteAreQueued) {
    ASSERT_TRUE(m_store.Bind(m_file));
    std::vector<bool> nested;
    bool inside = false;
    SetPumpEventsHook([&] {
        if (inside || !nested.empty()) return;
        inside = true;
        // An event handler writing while the first write is still searching.
        nested.push_back(m_store.WriteValue("S", "second", "2"));
        nested.push_back(m_store.Delete("S", "second") == ConfigStore::kQueued);
        inside = false;
    });
    const bool first = m_store.WriteValue("S", "first", "1");
    SetPumpEventsHook({});
    EXPECT_TRUE(first);
    ASSERT_EQ(nested.size(), 2u);
    EXPECT_FALSE(nested[0]);  // queued, reported false, still carried out
    EXPECT_TRUE(nested[1]);
    // first, then second inserted above it, then second deleted again
    EXPECT_EQ(ReadFile(m_file), "[S]\r\nfirst=1");
}

TEST_F(ConfigStoreTest, UnusableNamesWarnAndLeaveTheFile) {
    Bind("[A]\r\nk=1");
    std::vector<std::string> warnings;
    m_store.SetWarningHandler([&](const std::string& message, const std::string& detail) {
        warnings.push_back(message);
        EXPECT_EQ(detail, "[A]\r\nk=1");  // the store's whole content
    });
    EXPECT_FALSE(m_store.WriteValue("A\r\nB", "k", "2"));
    EXPECT_FALSE(m_store.WriteValue("A", "[k", "2"));
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0], G("配置模块出现意外，可能导致无法正常保存！详情请咨询岚舟。"));
    EXPECT_EQ(ReadFile(m_file), "[A]\r\nk=1");
}

TEST_F(ConfigStoreTest, SideFiles) {
    ASSERT_TRUE(m_store.Bind(m_file));
    m_store.SelectSection(G("站点序号_1"));
    const std::string key = G("分类数据");
    EXPECT_EQ(m_store.ReadBytes(key, "dflt"), "dflt");
    const std::string bytes("\0\x01\xff\r\n", 5);
    EXPECT_TRUE(m_store.WriteBytes(key, bytes));
    const std::string path = m_folder / charset::GbkToUtf8(G("inibin/站点序号_1-分类数据.ibn"));
    EXPECT_EQ(m_store.SideFilePath(G("站点序号_1"), key), G(path.c_str()));
    EXPECT_EQ(ReadFile(path), bytes);
    EXPECT_EQ(m_store.ReadBytes(key, "dflt"), bytes);
    EXPECT_EQ(m_store.Content(), "");  // never a key line
    WriteFile(path, "");
    EXPECT_EQ(m_store.ReadBytes(key, "dflt"), "dflt");
    EXPECT_FALSE(m_store.WriteBytes("../../x", "y"));  // stays inside inibin
}

// Publishing replaces the file, so each publish gives it a new inode.
ino_t InodeOf(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_ino;
}

TEST_F(ConfigStoreTest, BatchPublishesOnceAtItsEnd) {
    ASSERT_TRUE(m_store.Bind(m_file));
    const auto before = InodeOf(m_file);
    {
        ConfigStore::Batch batch(m_store);
        ConfigStore::Batch nested(m_store);
        m_store.SelectSection("S");
        for (int i = 0; i < 100; ++i) m_store.WriteNumber("k" + std::to_string(i), i);
        m_store.WriteBytes("b", "side");
        EXPECT_EQ(m_store.ReadBytes("b", ""), "side");  // pending, already readable
        EXPECT_TRUE(nested.End());
        EXPECT_EQ(ReadFile(m_file), "");
        EXPECT_EQ(InodeOf(m_file), before);
        EXPECT_TRUE(batch.End());
    }
    EXPECT_NE(InodeOf(m_file), before);
    EXPECT_EQ(ReadFile(m_file), m_store.Content());
    EXPECT_EQ(ReadFile(m_folder / "inibin/S-b.ibn"), "side");
}

TEST_F(ConfigStoreTest, OwnerOnlyModeAndKeptMode) {
    ASSERT_TRUE(m_store.Bind(m_file));
    m_store.SelectSection("S");
    m_store.WriteText("k", "v");
    m_store.WriteBytes("b", "x");
    struct stat st {};
    ASSERT_EQ(stat(m_file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_EQ(stat((m_folder / "inibin/S-b.ibn").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    chmod(m_file.c_str(), 0640);
    m_store.WriteText("k", "w");
    ASSERT_EQ(stat(m_file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(ConfigStoreTest, LinkedFileStaysALink) {
    const std::string real = m_folder / "real.ini";
    WriteFile(real, "[S]\r\nk=1");
    std::filesystem::create_symlink(real, m_file);
    ASSERT_TRUE(m_store.Bind(m_file));
    EXPECT_TRUE(m_store.WriteValue("S", "k", "2"));
    EXPECT_TRUE(std::filesystem::is_symlink(m_file));
    EXPECT_EQ(ReadFile(real), "[S]\r\nk=2");
}

TEST_F(ConfigStoreTest, FailedPublishKeepsTheOldFile) {
    Bind("[S]\r\nk=old");
    std::vector<std::string> warnings;
    m_store.SetWarningHandler(
        [&](const std::string& message, const std::string&) { warnings.push_back(message); });
    // Root ignores permissions; a folder where the temporary file must go stops it.
    std::filesystem::create_directory(m_file + ".tmp");
    EXPECT_FALSE(m_store.WriteValue("S", "k", "new"));
    EXPECT_EQ(ReadFile(m_file), "[S]\r\nk=old");
    EXPECT_EQ(warnings.size(), 1u);
    EXPECT_EQ(m_store.ReadValue("S", "k"), "new");  // memory keeps the change
    {
        ConfigStore::Batch batch(m_store);
        m_store.WriteValue("S", "j", "1");
        EXPECT_FALSE(batch.End());
    }
    EXPECT_EQ(ReadFile(m_file), "[S]\r\nk=old");
    std::filesystem::remove(m_file + ".tmp");
    EXPECT_TRUE(m_store.WriteValue("S", "k", "newer"));  // the earlier changes go out too
    EXPECT_EQ(ReadFile(m_file), "[S]\r\nj=1\r\nk=newer");
}

TEST_F(ConfigStoreTest, SecondBindingMayReadButNotWrite) {
    Bind("[S]\r\nk=1");
    ConfigStore other;
    EXPECT_FALSE(other.Bind(m_file));
    EXPECT_EQ(other.ReadValue("S", "k"), "1");
    EXPECT_FALSE(other.WriteValue("S", "k", "2"));
    EXPECT_EQ(ReadFile(m_file), "[S]\r\nk=1");
    m_store.Close();
    EXPECT_TRUE(other.Bind(m_file));
    ConfigStore readOnly;
    EXPECT_FALSE(readOnly.Bind(m_folder / "missing.ini", ConfigStore::BindMode::ReadOnly));
    EXPECT_FALSE(std::filesystem::exists(m_folder / "missing.ini"));
}

}  // namespace
