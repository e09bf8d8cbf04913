#pragma once
// Deterministic entry names for the large catalogues: herb-like Chinese names with other names
// and their pinyin initials (what the search box finds by letters), item names for the
// miscellaneous atlas.
#include <QString>
#include <cstdint>

struct THerbName {
    QString drugName;  // two or three characters
    QString otherName; // two other names and the initials, "绵芪 北芪 HQ"
};

THerbName MakeHerbName(std::uint64_t index);
