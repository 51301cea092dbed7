#include "vexa32/platform/wildcard.h"

namespace Vexa32::Platform {

namespace {

bool SameChar(QChar a, QChar b)
{
    return a == b || a.toCaseFolded() == b.toCaseFolded();
}

} // namespace

bool HasWildcards(QStringView text)
{
    return text.contains(u'*') || text.contains(u'?');
}

bool MatchesWildcard(QStringView pattern, QStringView name)
{
    if (pattern == u"*.*")
        pattern = u"*";
    // Greedy scan that remembers the last "*" and retries from there on a mismatch:
    // O(pattern * name) at worst, no recursion.
    qsizetype p = 0;
    qsizetype n = 0;
    qsizetype starAt = -1;
    qsizetype resumeName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starAt = p++;
            resumeName = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || SameChar(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starAt >= 0) {
            p = starAt + 1;
            n = ++resumeName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

} // namespace Vexa32::Platform
