#pragma once
// LIKE as the catalogue server evaluates a search's condition, for rows already on this side:
// the text's ASCII letters folded to lower case (lower() under the "C" collation), '%' any run of
// characters, '_' one character, every other character itself (a backslash too: patterns are
// sent so that nothing escapes a wildcard). Texts are UTF-8.
#include <QByteArrayView>

namespace PgLikeMatch {

// pattern: already folded (PgStatementTranslation::FoldAscii), UTF-8.
bool Matches(QByteArrayView text, QByteArrayView pattern);

} // namespace PgLikeMatch
