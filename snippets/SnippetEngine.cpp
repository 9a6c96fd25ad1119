#include "snippets/SnippetEngine.h"

#include "snippets/CatalogueBuild.h"

#include <algorithm>
#include <iterator>
#include <utility>

using namespace Qt::StringLiterals;

namespace snippets {

const QString& TParamValues::Value(TParamRow row) const {
    switch (row) {
    case prComboBox1:
        return FComboBox1;
    case prComboBox2:
        return FComboBox2Entry;
    default:
        return FEdits[row];
    }
}

QString& TParamValues::Value(TParamRow row) {
    return const_cast<QString&>(std::as_const(*this).Value(row));
}

const std::vector<TSnippetCategory>& Catalogue() {
    static const std::vector<TSnippetCategory> catalogue = [] {
        std::vector<TSnippetCategory> all;
        for (auto part : {build::CatalogueBasic, build::CatalogueDialogWindow, build::CatalogueForm,
                          build::CatalogueScreenToOriginal}) {
            std::vector<TSnippetCategory> categories = part();
            std::move(categories.begin(), categories.end(), std::back_inserter(all));
        }
        return all;
    }();
    return catalogue;
}

int CategoryCount() {
    return int(Catalogue().size());
}

QStringList CategoryNames() {
    QStringList names;
    for (const TSnippetCategory& category : Catalogue())
        names.append(category.FName);
    return names;
}

QStringList ItemNames(int category) {
    QStringList names;
    if (category < 0 || category >= CategoryCount())
        return names;
    for (const TSnippetEntry& entry : Catalogue()[size_t(category)].FItems)
        names.append(entry.FName);
    return names;
}

const TSnippetEntry* Entry(int category, int item) {
    if (category < 0 || category >= CategoryCount())
        return nullptr;
    const std::vector<TSnippetEntry>& items = Catalogue()[size_t(category)].FItems;
    if (item < 0 || item >= int(items.size()))
        return nullptr;
    return &items[size_t(item)];
}

bool IsOpen(const TSnippetEntry& entry, TParamRow row) {
    return !entry.FCaptions[row].isEmpty();
}

TParamSet OpenRows(const TSnippetEntry& entry) {
    TParamSet rows;
    for (int row = 0; row < RowCount; ++row)
        if (IsOpen(entry, TParamRow(row)))
            rows |= RowFlag(TParamRow(row));
    return rows;
}

QString RowName(TParamRow row) {
    switch (row) {
    case prComboBox1:
        return u"ComboBox1"_s;
    case prComboBox2:
        return u"ComboBox2"_s;
    default:
        return u"Edit"_s + QString::number(int(row) + 1);
    }
}

const std::vector<TPartnerCheck>& PartnerChecks() {
    static const std::vector<TPartnerCheck> checks = build::CataloguePartners();
    return checks;
}

QList<TParamRow> Partners(int category, int item, TParamRow source) {
    QList<TParamRow> partners;
    for (const TPartnerCheck& check : PartnerChecks()) {
        if (check.FCategory != category ||
            std::find(check.FItems.begin(), check.FItems.end(), item) == check.FItems.end())
            continue;
        if (check.FFirst == source)
            partners.append(check.FSecond);
        else if (check.FSecond == source)
            partners.append(check.FFirst);
    }
    return partners;
}

TParamSet FilledRows(const TParamValues& values) {
    TParamSet filled;
    for (int row = 0; row < RowCount; ++row)
        if (!values.Value(TParamRow(row)).isEmpty())
            filled |= RowFlag(TParamRow(row));
    return filled;
}

const TOutputForm* ChooseForm(const TSnippetEntry& entry, const TParamValues& values) {
    const TParamSet filled = FilledRows(values);
    for (const TOutputForm& form : entry.FForms)
        if ((filled & form.FFilled) == form.FFilled && !(filled & form.FEmpty))
            return &form;
    return nullptr;
}

QString ExpandPattern(QStringView pattern, const TParamValues& values) {
    static const std::array<QString, RowCount> placeholders = [] {
        std::array<QString, RowCount> names;
        for (int row = 0; row < RowCount; ++row)
            names[size_t(row)] = u'{' + RowName(TParamRow(row)) + u'}';
        names[prComboBox2] = u"{ComboBox2 entry}"_s;
        return names;
    }();

    QString text;
    text.reserve(pattern.size());
    qsizetype pos = 0;
    while (pos < pattern.size()) {
        bool replaced = false;
        if (pattern[pos] == u'{') {
            for (int row = 0; row < RowCount && !replaced; ++row) {
                const QString& placeholder = placeholders[size_t(row)];
                if (pattern.mid(pos).startsWith(placeholder)) {
                    text += values.Value(TParamRow(row));
                    pos += placeholder.size();
                    replaced = true;
                }
            }
        }
        if (!replaced)
            text += pattern[pos++];
    }
    return text;
}

std::optional<QString> BuildOutput(int category, int item, const TParamValues& values) {
    const TSnippetEntry* entry = Entry(category, item);
    if (!entry || entry->FKind != skParam)
        return std::nullopt;
    const TOutputForm* form = ChooseForm(*entry, values);
    if (!form)
        return std::nullopt;
    return ExpandPattern(form->FPattern, values);
}

} // namespace snippets
