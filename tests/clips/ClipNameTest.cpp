#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "clips/ClipName.h"
#include "protocol/Directory.h"

namespace {

struct NameCase {
  std::string typed;
  std::optional<std::string> accepted;  // the upper-case form, or nothing when refused
};

TEST(ValidateClipName, FollowsTheUnitsEightDotThreeRule) {
  const NameCase cases[] = {
      {"VID00012.MPG", "VID00012.MPG"},
      {"vid00013.mpg", "VID00013.MPG"},
      {"ABCDEFGH.X", "ABCDEFGH.X"},
      {"ABCDEFGH", "ABCDEFGH"},     // 8 name characters
      {"ABCDEFGHI", std::nullopt},  // 9
      {"ABCDEFGH.", std::nullopt},  // a full name part needs an extension
      {"ABC.", "ABC."},             // a shorter one may end with its dot
      {"A", "A"},
      {"A.BCDE", std::nullopt},  // 4 extension characters
      {"A.BCD", "A.BCD"},        // 3
      {"A.BC", "A.BC"},
      {"AB.MPEG", std::nullopt},
      {".MPG", std::nullopt},  // dot first
      {".", std::nullopt},
      {"A.B.X", std::nullopt},  // a second dot
      {"A_B.MPG", std::nullopt},
      {"AB C.MPG", std::nullopt},
      {"ABC.M-G", std::nullopt},
      {"12345678.123", "12345678.123"},
      {"caf\xC3\xA9.MPG", std::nullopt},  // bytes above 127 are never letters
      {"AB.\xE9", std::nullopt},
      {"", std::nullopt},  // the empty name would name no clip
  };
  for (const auto& each : cases) {
    EXPECT_EQ(validateClipName(each.typed), each.accepted) << '"' << each.typed << '"';
  }
}

TEST(NameField, IsElevenCharactersWithoutTheDot) {
  const std::pair<std::string, std::string> cases[] = {
      {"VID00012.MPG", "VID00012MPG"},
      {"AB.X", "AB      X  "},
      {"TEST", "TEST       "},
      {"ABC.", "ABC        "},
      {"vid00001.mpg", "vid00001mpg"},  // copied as it stands
      {"", "           "},
      {"ABCDEFGHIJ.KLMNO", "ABCDEFGHKLM"},  // never longer than 11
      {"ABCDEFG X", "ABCDEFG X  "},         // a listing shows a short extension after a blank
      {"README TX", "README  TX "},
  };
  for (const auto& [name, field] : cases) {
    EXPECT_EQ(nameField(name), field) << '"' << name << '"';
  }
}

// A listed name goes back to the unit as it stands while its field is printable; a typed name
// must also be 8.3, so that nothing is cut and a near-name never becomes a clip's field.
TEST(NameFields, ListedPrintableNamesGoBackTypedNamesAreNeverCut) {
  const std::nullopt_t no = std::nullopt;
  const struct {
    std::string name;
    std::optional<std::string> listed, typed;
  } cases[] = {
      {"VID00012.MPG", "VID00012MPG", "VID00012MPG"},
      {"CLIPON~1.MPG", "CLIPON~1MPG", "CLIPON~1MPG"},
      {"A-B.MPG", "A-B     MPG", "A-B     MPG"},
      {"vid00001.mpg", "vid00001mpg", "vid00001mpg"},
      {"ABCDEFG X", "ABCDEFG X  ", no},  // a listing's short extension; typed, 9 characters
      {"ABCDEFG", "ABCDEFG    ", "ABCDEFG    "},
      {"VID00031.MPG.OLD", "VID00031MPG", no},
      {"VID00031.MPGX", "VID00031MPG", no},
      {"VID000311.MPG", "VID00031MPG", no},
      {"VID00012XYZ.MPG", "VID00012MPG", no},
      {"A..B", "A       .B ", no},
      {".MPG", "        MPG", no},
      {"FO\rX", no, no},
      {std::string("VID00099.\0\0", 11), no, no},
      {"VID\x01.MPG", no, no},
      {"\xE5" "BC.MPG", no, no},
      {"", "           ", no},
  };
  for (const auto& each : cases) {
    SCOPED_TRACE('"' + each.name + '"');
    EXPECT_EQ(listedNameField(each.name), each.listed);
    EXPECT_EQ(typedNameField(each.name), each.typed);
  }
}

TEST(StemLength, IsIndexOfFirstDotOrLength) {
  EXPECT_EQ(stemLength("VID00012.MPG"), 8u);
  EXPECT_EQ(stemLength("A.B.C"), 1u);
  EXPECT_EQ(stemLength("TEST"), 4u);
  EXPECT_EQ(stemLength(""), 0u);
}

TEST(SizeText, GivesLengthForAnyText) {
  struct Case {
    std::string size;
    std::uint32_t kilobytes;
    std::string length;
  };
  const Case cases[] = {
      {"1,764KB", 1764, "00:00:10"},
      {"352KB", 352, "00:00:01"},
      {"1KB", 1, "00:00:00"},
      {"176,400KB", 176400, "00:16:40"},
      {"4,294,967KB", 4294967, "06:45:47"},       // the largest a 32-bit size shows
      {"99,999,999,999KB", 4294967, "06:45:47"},  // held there, never wrapped
      {"", 0, "00:00:00"},
      {"KB", 0, "00:00:00"},
      {"B", 0, "00:00:00"},
      {"abc", 0, "00:00:00"},
      {"-5KB", 0, "00:00:00"},
      {"\xFF\xFEKB", 0, "00:00:00"},
  };
  for (const auto& each : cases) {
    SCOPED_TRACE('"' + each.size + '"');
    EXPECT_EQ(directory::kilobytesOfSizeText(each.size), each.kilobytes);
    EXPECT_EQ(directory::lengthOfSizeText(each.size), each.length);
  }
}

}  // namespace
