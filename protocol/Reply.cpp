#include "protocol/Reply.h"

#include <cstring>

namespace reply {

namespace {

constexpr bool kWarning = false;
constexpr bool kQuestion = true;

constexpr ErrorCode kErrorCodes[] = {
    {"04", "Error Code 04 Received", "This feature is not yet supported\nPlease contact Vantrel Technical Support",
     kWarning, FollowUp::None, "the unit does not support this command"},
    {"11", "Error Code 11 Received", "The selected drive is not present\nPlease insert the drive and choose Refresh",
     kWarning, FollowUp::None, "the drive is not present"},
    {"12", "Error Code 12 Received", "The desired clip is not present\nClick OK to Refresh", kWarning,
     FollowUp::RelistCurrentDrive, "the clip is not on the drive"},
    {"20", "Error Code 20 Received", "The selected drive is not formatted,\n would you like to format now?", kQuestion,
     FollowUp::OfferFormat, "the drive is not formatted"},
};

}  // namespace

const ErrorCode* knownCode(const std::uint8_t* digits) {
  for (const auto& code : kErrorCodes) {
    if (std::memcmp(code.digits, digits, 2) == 0) return &code;
  }
  return nullptr;
}

}  // namespace reply
