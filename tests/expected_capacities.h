#pragma once
// The Auto table of the start-up inputs (head 0 of 488397168 sectors,
// divider 15, alignment 50, template "WDC WD20EARS-00MVWB0"), worked out by
// hand once for the core, the command line and the window alike.

#include <cstdint>
#include <string>

namespace zentab::testkit {

struct AutoCell {
    std::int64_t lba;
    const char* number;  // model number in the name
    const char* size;    // size label beside the value
};

constexpr std::int64_t kAutoHead0 = 488397168;

// Rows 1 to 4 of each Format.
constexpr AutoCell kAutoRows[6][4] = {
    {{488397168, "2500", "250G"}, {976773168, "5000", "500G"}, {1465149168, "7500", "750G"}, {1953525168, "10", "1.0T"}},
    {{390721968, "2000", "200G"}, {879097968, "4500", "450G"}, {1367473968, "7000", "700G"}, {1758174768, "9000", "900G"}},
    {{390721968, "2000", "200G"}, {781422768, "4000", "400G"}, {1269798768, "6500", "650G"}, {1660499568, "8500", "850G"}},
    {{390721968, "2000", "200G"}, {781422768, "4000", "400G"}, {1172123568, "6000", "600G"}, {1562824368, "8000", "800G"}},
    {{293046768, "1500", "150G"}, {683747568, "3500", "350G"}, {1074448368, "5500", "550G"}, {1367473968, "7000", "700G"}},
    {{293046768, "1500", "150G"}, {586072368, "3000", "300G"}, {976773168, "5000", "500G"}, {1269798768, "6500", "650G"}},
};

// Main rows 9 and 10; row 9 is the first value past 32 bits.
constexpr AutoCell kAutoMainRow9 = {4395405168, "22", "2.3T"};
constexpr AutoCell kAutoMainRow10 = {4883781168, "25", "2.5T"};

inline std::string AutoModelName(const std::string& number) { return "WDC WD" + number + "EARS-00MVWB0"; }

}  // namespace zentab::testkit
