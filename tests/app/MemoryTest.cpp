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
    {
        TFrameFixture run;
        run.Frame().setGeometry(40, 50, 700, 500);
        run.Frame().close();
        ProcessDeletions();
    }
    TFrameFixture next;
    QTRY_COMPARE(next.Frame().geometry().size(), QSize(700, 500));
    TIniGT ini;
    ini.SetFileName(QStringLiteral("Quorveljs.ini"));
    QCOMPARE(ini.ReadInteger(QStringLiteral("Form"), QStringLiteral("EditForm.XSize"), 0) -
                 ini.ReadInteger(QStringLiteral("Form"), QStringLiteral("EditForm.X"), 0),
             700);
}

int main(int argc, char** argv) {
    TMemoryTest test;
    return RunFrameTests(argc, argv, &test);
}

#include "MemoryTest.moc"
