// ReadTorrentFile: the record's fields, the info hash over the canonical re-encoding, the
// tracker, file-list and piece rules, the creation date, and the empty record on failure.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#ifdef _WIN32
#include <direct.h>
#endif
#include <ctime>
#include <string>

#include "test_files.h"
#include "torrent/sha1.h"
#include "torrent/torrent_file_info.h"

namespace miravue {
namespace {

// The C library's environment calls differ between the two targets' run-times.
void SetEnvironment(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value);
#else
    setenv(name, value, 1);
#endif
}

void ClearEnvironment(const char* name) {
#ifdef _WIN32
    _putenv_s(name, "");
#else
    unsetenv(name);
#endif
}

using namespace std::string_literals;

// A bencoded byte string.
std::string S(std::string_view bytes) {
    return std::to_string(bytes.size()) + ":" + std::string(bytes);
}
std::string I(long long value) {
    return "i" + std::to_string(value) + "e";
}

Text Sha1Of(std::string_view bytes) {
    return Sha1Hex(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

const std::string kPieces20 = std::string(20, 'p');

// A canonical single-file info dictionary.
const std::string kSingleInfo = "d" + S("length") + I(5) + S("name") + S("a.txt") +
                                S("piece length") + I(262144) + S("pieces") + S(kPieces20) + "e";

class ReadTorrentTest : public testing::Test {
  protected:
    TorrentFileInfo Read(std::string_view bytes) {
        return ReadTorrentFile(dir_.Write("t" + std::to_string(count_++) + ".torrent", bytes));
    }
    // A torrent whose top level holds `top` (bencoded key/value pairs) and `info`.
    TorrentFileInfo ReadWith(const std::string& top, const std::string& info = kSingleInfo) {
        return Read("d" + top + S("info") + info + "e");
    }

    test::ScratchDir dir_;
    int count_ = 0;
};

TEST_F(ReadTorrentTest, CanonicalSingleFileTorrent) {
    const TorrentFileInfo record =
        Read("d" + S("announce") + S("http://tracker:6969/announce") + S("comment") + S("hello") +
             S("created by") + S("maker 1.0") + S("info") + kSingleInfo + "e");
    EXPECT_EQ(record.InfoHash, Sha1Of(kSingleInfo));
    EXPECT_EQ(record.InfoHash.size(), 40u);
    EXPECT_EQ(record.Trackers, "tracker:6969;");
    EXPECT_EQ(record.Comment, "hello");
    EXPECT_EQ(record.CreatedBy, "maker 1.0");
    EXPECT_EQ(record.Name, "a.txt");
    EXPECT_EQ(record.TotalSize, 5);
    EXPECT_EQ(record.PieceLength, 262144);
    EXPECT_EQ(record.PieceCount, 1);
    EXPECT_TRUE(record.FileSizes.empty());
    EXPECT_TRUE(record.FilePaths.empty());
}

TEST_F(ReadTorrentTest, HashIsOverTheCanonicalReencoding) {
    const std::string unordered = "d" + S("pieces") + S(kPieces20) + S("name") + S("a.txt") +
                                  S("length") + I(5) + S("piece length") + I(262144) + "e";
    const TorrentFileInfo record = ReadWith("", unordered);
    EXPECT_NE(record.InfoHash, Sha1Of(unordered));
    EXPECT_EQ(record.InfoHash, Sha1Of(kSingleInfo));
}

TEST_F(ReadTorrentTest, LeadingZeroShiftsTheDecoderInsideInfo) {
    // "i0262144e" is read as 262144 but stepped over as the 8 bytes of "i262144e": the
    // decoder lands on its "e", which closes "info" early; "pieces" then falls to the top
    // level, where the outer dictionary resumes after the canonical size of "info".
    const std::string info = "d" + S("length") + I(5) + S("name") + S("a") + S("piece length") +
                             "i0262144e" + S("pieces") + S(kPieces20) + "e";
    const TorrentFileInfo record = ReadWith("", info);
    EXPECT_EQ(record.InfoHash, Sha1Of("d" + S("length") + I(5) + S("name") + S("a") +
                                      S("piece length") + I(262144) + "e"));
    EXPECT_NE(record.InfoHash, Sha1Of(info));
    EXPECT_EQ(record.PieceLength, 262144);
    EXPECT_EQ(record.PieceCount, 0);
    EXPECT_EQ(record.Name, "a");
}

TEST_F(ReadTorrentTest, NoInfoHashesTheEmptyDictionary) {
    const TorrentFileInfo record = Read("d" + S("comment") + S("c") + "e");
    EXPECT_EQ(record.InfoHash, Sha1Of("de"));
    EXPECT_EQ(record.Comment, "c");
    EXPECT_EQ(record.Name, "");
    EXPECT_EQ(record.TotalSize, 0);
    const TorrentFileInfo not_dictionary = Read("d" + S("info") + "li1ee" + "e");
    EXPECT_EQ(not_dictionary.InfoHash, Sha1Of("de"));
}

TEST_F(ReadTorrentTest, FailuresGiveTheEmptyRecord) {
    const TorrentFileInfo empty;
    EXPECT_EQ(empty.CreationDate, -657434.0);
    EXPECT_EQ(Read("li1ei2ee"), empty);
    EXPECT_EQ(Read(""), empty);
    EXPECT_EQ(Read("d" + S("info") + "5:ab"), empty);
    EXPECT_EQ(Read(std::string(1'000'000, 'l')), empty);
    EXPECT_EQ(ReadTorrentFile(dir_.path() + "/missing.torrent"), empty);
    EXPECT_EQ(ReadTorrentFile(dir_.path()), empty);
    EXPECT_EQ(ReadTorrentFile(""), empty);
}

TEST_F(ReadTorrentTest, PathIsACodePage936Text) {
    // The program names the folder in code page 936. On Linux its name on disk is UTF-8; on
    // Windows the narrow file functions (these tests' own too) take code page 936 as it is.
#ifdef _WIN32
    // Made through the narrow C run-time calls, which read names in code page 936 as the
    // reader's do (std::filesystem would read the bytes otherwise).
    const std::string folder = dir_.path() + "/\xd6\xd0\xce\xc4";
    ASSERT_EQ(_mkdir(folder.c_str()), 0);
    std::ofstream(folder + "/t.torrent", std::ios::binary) << "d" + S("info") + kSingleInfo + "e";
#else
    dir_.Write("\xe4\xb8\xad\xe6\x96\x87/t.torrent", "d" + S("info") + kSingleInfo + "e");
#endif
    const TorrentFileInfo record = ReadTorrentFile(dir_.path() + "/\xd6\xd0\xce\xc4/t.torrent");
    EXPECT_EQ(record.InfoHash, Sha1Of(kSingleInfo));
}

TEST_F(ReadTorrentTest, ReadTorrentBytesMatchesReadTorrentFile) {
    const std::string bytes = "d" + S("announce") + S("http://t/") + S("info") + kSingleInfo + "e";
    const TorrentFileInfo from_file = Read(bytes);
    EXPECT_EQ(ReadTorrentBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
              from_file);
    EXPECT_EQ(ReadTorrentBytes(nullptr, 0), TorrentFileInfo{});
}

TEST_F(ReadTorrentTest, InitAndFreeLeaveTheEmptyRecord) {
    TorrentFileInfo record = ReadWith("");
    ASSERT_FALSE(record.InfoHash.empty());
    FreeTorrentFileInfo(record);
    EXPECT_EQ(record, TorrentFileInfo{});
    record.Name = "x";
    record.CreationDate = 1.0;
    InitTorrentFileInfo(record);
    EXPECT_EQ(record, TorrentFileInfo{});
}

TEST_F(ReadTorrentTest, NulInNameShowsAsSpaceAndIntegersAsDigits) {
    const std::string info = "d" + S("name") + S("a\0b"s) + "e";
    EXPECT_EQ(ReadWith("", info).Name, "a b");
    EXPECT_EQ(ReadWith(S("comment") + I(-42), info).Comment, "-42");
    EXPECT_EQ(ReadWith(S("comment") + "li1ee", info).Comment, "");
}

struct TrackerCase {
    const char* name;
    std::string top;  // bencoded top-level entries (sorted keys)
    const char* trackers;
};

class TrackerTest : public ReadTorrentTest, public testing::WithParamInterface<TrackerCase> {};

TEST_P(TrackerTest, BuildsTheTrackerText) {
    EXPECT_EQ(ReadWith(GetParam().top).Trackers, GetParam().trackers);
}

const TrackerCase kTrackerCases[] = {
    {"AnnounceLowercased", S("announce") + S("HTTP://TrackerA:6969/announce"), "trackera:6969;"},
    {"AnnounceWithoutPort", S("announce") + S("http://host/announce"), "host:80;"},
    {"ListReplacesAnnounce",
     S("announce") + S("http://hosta:80/x") + S("announce-list") + "ll" + S("http://hostb:81/y") +
         "el" + S("udp://hostc:82") + "ee",
     "hostb:81;udp:0;"},
    {"AnnouncePortWithoutSlashRejected", S("announce") + S("http://hosta:6969"), ""},
    {"ListNormalizesPortWithoutSlash",
     S("announce") + S("http://x:1/") + S("announce-list") + "ll" + S("http://hosta:6969") + "ee",
     "hosta:6969;"},
    {"EmptyListClearsAnnounce", S("announce") + S("http://x:1/") + S("announce-list") + "le", ""},
    {"ListWithoutAnnounceIgnored", S("announce-list") + "ll" + S("http://hostb:81/y") + "ee", ""},
    {"ListTakesStringsAndSkipsOthers",
     S("announce") + S("http://x:1/") + S("announce-list") + "l" + S("http://a:1/") + I(5) + "l" +
         I(6) + S("http://b:2/") + "ed" + S("k") + S("v") + "ee",
     "a:1;b:2;"},
    {"RepeatsStay",
     S("announce") + S("http://x:1/") + S("announce-list") + "ll" + S("http://a:1/") + "el" +
         S("http://a:1/") + "ee",
     "a:1;a:1;"},
    {"ListNotAListKeepsAnnounce", S("announce") + S("http://x:1/") + S("announce-list") + I(1),
     "x:1;"},
    {"NoTrackers", "", ""},
};

INSTANTIATE_TEST_SUITE_P(Reader, TrackerTest, testing::ValuesIn(kTrackerCases),
                         [](const auto& test_case) { return std::string(test_case.param.name); });

std::string File(long long length, const std::string& path_list) {
    return "d" + S("length") + I(length) + S("path") + path_list + "e";
}

std::string MultiInfo(const std::string& files, const std::string& extra = "") {
    return "d" + S("files") + "l" + files + "e" + extra + S("name") + S("top") + "e";
}

TEST_F(ReadTorrentTest, MultiFileTorrentListsPathsAndSizes) {
    const TorrentFileInfo record = ReadWith(
        "",
        MultiInfo(File(5, "l" + S("dir") + S("a.txt") + "e") + File(7, "l" + S("b.bin") + "e")));
    EXPECT_EQ(record.FilePaths, (TextList{"\\dir\\a.txt", "\\b.bin"}));
    EXPECT_EQ(record.FileSizes, (std::vector<std::int64_t>{5, 7}));
    EXPECT_EQ(record.TotalSize, 12);
    EXPECT_EQ(record.Name, "top");
}

TEST_F(ReadTorrentTest, FileSizesKeep64Bits) {
    const long long three_gib = 3LL << 30;
    const TorrentFileInfo record = ReadWith(
        "", MultiInfo(File(three_gib, "l" + S("big") + "e") + File(1, "l" + S("s") + "e")));
    EXPECT_EQ(record.FileSizes, (std::vector<std::int64_t>{three_gib, 1}));
    EXPECT_EQ(record.TotalSize, three_gib + 1);
}

struct BadFilesCase {
    const char* name;
    std::string files;
};

class BadFilesTest : public ReadTorrentTest, public testing::WithParamInterface<BadFilesCase> {};

TEST_P(BadFilesTest, OneMalformedEntryEmptiesTheList) {
    const std::string good = File(5, "l" + S("ok") + "e");
    const TorrentFileInfo record = ReadWith("", MultiInfo(good + GetParam().files));
    EXPECT_TRUE(record.FileSizes.empty());
    EXPECT_TRUE(record.FilePaths.empty());
    EXPECT_EQ(record.TotalSize, 0);
    EXPECT_EQ(record.Name, "top");
}

const BadFilesCase kBadFilesCases[] = {
    {"NegativeLength", File(-1, "l" + S("x") + "e")},
    {"NotADictionary", "l" + S("x") + "e"},
    {"LengthMissing", "d" + S("path") + "l" + S("x") + "ee"},
    {"LengthNotInteger", "d" + S("length") + S("5") + S("path") + "l" + S("x") + "ee"},
    {"PathMissing", "d" + S("length") + I(1) + "e"},
    {"PathNotAList", File(1, S("x"))},
    {"PathElementNotString", File(1, "l" + S("x") + I(3) + "e")},
};

INSTANTIATE_TEST_SUITE_P(Reader, BadFilesTest, testing::ValuesIn(kBadFilesCases),
                         [](const auto& test_case) { return std::string(test_case.param.name); });

TEST_F(ReadTorrentTest, EmptyPathListGivesEmptyPath) {
    const TorrentFileInfo record = ReadWith("", MultiInfo(File(3, "le")));
    EXPECT_EQ(record.FilePaths, (TextList{""}));
    EXPECT_EQ(record.FileSizes, (std::vector<std::int64_t>{3}));
}

TEST_F(ReadTorrentTest, LengthInInfoIsTheTotalSize) {
    const TorrentFileInfo record =
        ReadWith("", MultiInfo(File(5, "l" + S("x") + "e"), S("length") + I(100)));
    EXPECT_EQ(record.TotalSize, 100);
    EXPECT_EQ(record.FileSizes, (std::vector<std::int64_t>{5}));
}

struct PiecesCase {
    const char* name;
    std::string entry;
    std::int32_t count;
};

class PiecesTest : public ReadTorrentTest, public testing::WithParamInterface<PiecesCase> {};

TEST_P(PiecesTest, CountsTwentyByteGroups) {
    EXPECT_EQ(ReadWith("", "d" + S("name") + S("n") + GetParam().entry + "e").PieceCount,
              GetParam().count);
}

const PiecesCase kPiecesCases[] = {
    {"FortyOne", S("pieces") + S(std::string(41, 'x')), 3},
    {"Forty", S("pieces") + S(std::string(40, 'x')), 2},
    {"One", S("pieces") + S("x"), 1},
    {"Empty", S("pieces") + S(""), 0},
    {"Absent", "", 0},
    {"NotAString", S("pieces") + I(40), 0},
};

INSTANTIATE_TEST_SUITE_P(Reader, PiecesTest, testing::ValuesIn(kPiecesCases),
                         [](const auto& test_case) { return std::string(test_case.param.name); });

TEST_F(ReadTorrentTest, PieceLengthTakesTheLow32Bits) {
    const std::string info = "d" + S("piece length") + I((1LL << 32) + 16384) + "e";
    EXPECT_EQ(ReadWith("", info).PieceLength, 16384);
    EXPECT_EQ(ReadWith("", "d" + S("piece length") + S("x") + "e").PieceLength, 0);
}

// Runs a test body with the time zone fixed at UTC+8 (no daylight saving), then restores it.
class CreationDateTest : public ReadTorrentTest {
  protected:
    void SetUp() override {
        if (const char* tz = std::getenv("TZ")) {
            saved_ = tz;
        }
        SetEnvironment("TZ", "UTC-8");
        tzset();
    }
    void TearDown() override {
        if (saved_) {
            SetEnvironment("TZ", saved_->c_str());
        } else {
            ClearEnvironment("TZ");
        }
        tzset();
    }

    // Seconds since the epoch, shifted into UTC+8, as days since 1899-12-30.
    static double Expected(long long seconds) {
        constexpr double kEpochAsOleDate = 25569.0;  // 1970-01-01
        return kEpochAsOleDate + static_cast<double>(seconds + 8 * 3600) / 86400.0;
    }

    std::optional<std::string> saved_;
};

TEST_F(CreationDateTest, MissingDateIsTheLocalEpoch) {
    EXPECT_DOUBLE_EQ(ReadWith("").CreationDate, Expected(0));
}

TEST_F(CreationDateTest, DateIsLocalTime) {
    EXPECT_DOUBLE_EQ(ReadWith(S("creation date") + I(1700000000)).CreationDate,
                     Expected(1700000000));
}

TEST_F(CreationDateTest, OnlyTheLow32BitsCount) {
    EXPECT_DOUBLE_EQ(ReadWith(S("creation date") + I((1LL << 32) + 86400)).CreationDate,
                     Expected(86400));
}

TEST_F(CreationDateTest, DateThatIsNotAnIntegerCountsAsZero) {
    EXPECT_DOUBLE_EQ(ReadWith(S("creation date") + S("2020")).CreationDate, Expected(0));
}

TEST_F(CreationDateTest, DateBefore1970IsTheEmptyDate) {
    EXPECT_EQ(ReadWith(S("creation date") + I(-1)).CreationDate, kEmptyDate);
    EXPECT_EQ(ReadWith(S("creation date") + I(0x80000000LL)).CreationDate, kEmptyDate);
}

}  // namespace
}  // namespace miravue
