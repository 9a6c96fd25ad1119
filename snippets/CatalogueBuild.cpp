#include "snippets/CatalogueBuild.h"

namespace snippets::build {

TOutputForm When(TParamSet filled, TParamSet empty, QStringView pattern) {
    return TOutputForm{filled, empty, pattern.toString()};
}

TOutputForm Else(QStringView pattern) {
    return TOutputForm{{}, {}, pattern.toString()};
}

TSnippetEntry Direct(QStringView name, QStringView text) {
    TSnippetEntry entry;
    entry.FName = name.toString();
    entry.FKind = skDirect;
    entry.FText = text.toString();
    return entry;
}

TSnippetEntry Message(QStringView name, QStringView text) {
    TSnippetEntry entry = Direct(name, text);
    entry.FKind = skMessage;
    return entry;
}

TSnippetEntry Nothing(QStringView name) {
    TSnippetEntry entry;
    entry.FName = name.toString();
    entry.FKind = skNone;
    return entry;
}

TSnippetEntry Param(QStringView name, std::initializer_list<QStringView> editCaptions,
                    std::vector<TOutputForm> forms) {
    Q_ASSERT(editCaptions.size() <= size_t(EditCount));
    TSnippetEntry entry;
    entry.FName = name.toString();
    entry.FKind = skParam;
    int row = 0;
    for (QStringView caption : editCaptions)
        entry.FCaptions[row++] = caption.toString();
    entry.FForms = std::move(forms);
    return entry;
}

TSnippetEntry WithChoice(TSnippetEntry entry, TParamRow row, QStringView caption,
                         std::initializer_list<QStringView> items) {
    Q_ASSERT(row == prComboBox1 || row == prComboBox2);
    entry.FCaptions[row] = caption.toString();
    if (items.size() > 0) {
        QStringList list;
        for (QStringView item : items)
            list.append(item.toString());
        (row == prComboBox1 ? entry.FComboBox1Items : entry.FComboBox2Items) = list;
    }
    return entry;
}

TSnippetEntry WithFocus(TSnippetEntry entry, TParamRow row) {
    entry.FFocus = row;
    return entry;
}

TPartnerCheck Pair(int category, TParamRow first, TParamRow second,
                   std::initializer_list<TRange> items) {
    TPartnerCheck check;
    check.FCategory = category;
    check.FFirst = first;
    check.FSecond = second;
    for (const TRange& range : items)
        for (int item = range.FFirst; item <= range.FLast; ++item)
            check.FItems.push_back(item);
    return check;
}

} // namespace snippets::build
