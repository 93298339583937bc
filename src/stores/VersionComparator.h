#pragma once

#include <QString>

// Orders version strings the way appcast updaters do: a version is split into
// runs of digits, runs of other characters and "." separators (white space
// only splits); digit runs compare as numbers, so 1.10 comes after 1.9, and
// a trailing word marks a pre-release, so 2.0b1 comes before 2.0.
class VersionComparator {
public:
    // Negative when a is older than b, zero when they are the same, positive when newer.
    static int compare(const QString& a, const QString& b);
};
