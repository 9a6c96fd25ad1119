// What the frame remembers between runs: recent files after "履歴" and the frame's placement,
// through two frames in a row as two runs of the program would have them.

#include "FrameFixture.h"

#include "app/Childwin.h"
#include "app/Main.h"
#include "components/IniGT.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTest>

class TMemoryTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void RecentFilesSurviveARestart();
    void FramePlacementSurvivesARestart();
};

namespace {
// The entries the File menu shows after "履歴".
QStringList HistoryEntries(TMainForm& frame) {
    QStringList entries;
    QMenu* file = qobject_cast<QMenu*>(frame.FileHistoryItem->associatedObjects().value(0));
    if (!file)
        return {QStringLiteral("<no menu>")};
    const QList<QAction*> items = file->actions();
    for (qsizetype i = items.indexOf(frame.FileHistoryItem) + 1;
         i < items.size() && !items[i]->isSeparator(); ++i)
        entries << items[i]->text();
    return entries;
}
} // namespace

void TMemoryTest::RecentFilesSurviveARestart() {
    QString first, second;
    {
        TFrameFixture run;
        first = run.Path(QStringLiteral("a.html"));
        second = run.Path(QStringLiteral("b.js"));
        WriteBytes(first, "<p>a</p>");
        WriteBytes(second, "alert(1);");
        TDialogAnswers answers;
        answers.Choose(first);
        run.Frame().FileOpen1->trigger();
        answers.Choose(second);
        run.Frame().FileOpen1->trigger();
        QCOMPARE(HistoryEntries(run.Frame()),
                 (QStringList{QStringLiteral("&0 ") + second, QStringLiteral("&1 ") + first}));
        // Closing with a window open keeps the list for the next run.
        run.Frame().close();
        ProcessDeletions();
    }
    TFrameFixture next;
    QCOMPARE(HistoryEntries(next.Frame()).size(), 2);
    QVERIFY(HistoryEntries(next.Frame()).first().endsWith(QStringLiteral("b.js")));
}

void TMemoryTest::FramePlacementSurvivesARestart() {
    TIniGT ini;
    ini.SetFileName(QStringLiteral("Quorveljs.ini"));
    const auto record = [&ini] {
        QStringList values;
        for (const char* key : {"X", "Y", "XSize", "YSize"})
            values << ini.ReadString(QStringLiteral("Form"),
                                     QStringLiteral("EditForm.") + QLatin1String(key), {});
        return values;
    };
    QRect frame;
    {
        TFrameFixture run;
        run.Frame().setGeometry(40, 50, 700, 500);
        frame = run.Frame().frameGeometry();
        run.Frame().close();
        ProcessDeletions();
    }
    // The record is the whole window with its frame.
    const QStringList stored = record();
    QCOMPARE(stored, (QStringList{QString::number(frame.x()), QString::number(frame.y()),
                                  QString::number(frame.x() + frame.width()),
                                  QString::number(frame.y() + frame.height())}));
    {
        TFrameFixture next;
        QTRY_COMPARE(next.Frame().geometry().size(), QSize(700, 500));
        QTRY_COMPARE(next.Frame().frameGeometry(), frame);
        // Stored again unchanged, the place does not creep by the frame at every start.
        next.Frame().close();
        ProcessDeletions();
    }
    QCOMPARE(record(), stored);
}

int main(int argc, char** argv) {
    TMemoryTest test;
    return RunFrameTests(argc, argv, &test);
}

#include "MemoryTest.moc"
