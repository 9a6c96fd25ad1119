#pragma once

// The one engine over the catalogue table: what the selector lists, what a double-click prepares,
// which edits are partners, and the text OK inserts. Entries are addressed by their index pair
// (category, item), never by name: names repeat.

#include "snippets/SnippetTypes.h"

#include <QList>
#include <QStringView>

namespace snippets {

const std::vector<TSnippetCategory>& Catalogue();
int CategoryCount();
QStringList CategoryNames();
// The display names of a category's items in list order; empty for an index without a category.
QStringList ItemNames(int category);

// nullptr for an index pair without an entry (an item index of -1 included).
const TSnippetEntry* Entry(int category, int item);

bool IsOpen(const TSnippetEntry& entry, TParamRow row);
TParamSet OpenRows(const TSnippetEntry& entry);

// "Edit1".."Edit7", "ComboBox1", "ComboBox2": the control names of the rows.
QString RowName(TParamRow row);

const std::vector<TPartnerCheck>& PartnerChecks();
// The edits whose open state follows the text of `source` while (category, item) is selected:
// open when `source` is empty, closed when it holds text.
QList<TParamRow> Partners(int category, int item, TParamRow source);

TParamSet FilledRows(const TParamValues& values);
// The first form whose condition holds; nullptr only for an entry without forms.
const TOutputForm* ChooseForm(const TSnippetEntry& entry, const TParamValues& values);
// Replaces each placeholder of `pattern` by its value, in one pass: a typed text that looks like a
// placeholder stays as typed.
QString ExpandPattern(QStringView pattern, const TParamValues& values);
// The text OK inserts for (category, item), or nullopt when OK inserts nothing.
std::optional<QString> BuildOutput(int category, int item, const TParamValues& values);

} // namespace snippets
