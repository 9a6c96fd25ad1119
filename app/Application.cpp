#include "app/Application.h"

#include "platform/Error.h"
#include "platform/FocusReturn.h"
#include "platform/FontSubstitution.h"
#include "platform/MessageBox.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <new>

static void InitResources() {
    Q_INIT_RESOURCE(quorveljs);
}

TQuorvelApplication::TQuorvelApplication(int& argc, char** argv) : QApplication(argc, argv) {
    InitResources();
    setApplicationName(QStringLiteral("quorveljs"));
    setApplicationVersion(QStringLiteral("1.46"));
    setDesktopFileName(QStringLiteral("quorveljs"));
    // The program speaks Japanese whatever the desktop's language: Qt's own dialogs, dates and
    // numbers in them too.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    auto* translator = new QTranslator(this);
    if (translator->load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
    InstallWindowsButtonOrder();
    RegisterFontSubstitutions();
    TFocusReturn::Install();
    setWindowIcon(QIcon(QStringLiteral(":/quorveljs.svg")));
}

TQuorvelApplication::~TQuorvelApplication() = default;

bool TQuorvelApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        HandleException(std::current_exception());
        return false;
    }
}

QString ExceptionMessage(std::exception_ptr failure) {
    try {
        std::rethrow_exception(std::move(failure));
    } catch (const EQuorvelError& error) {
        return error.Message();
    } catch (const std::bad_alloc&) {
        return QStringLiteral("メモリが不足しています");
    } catch (const std::exception& error) {
        return QString::fromUtf8(error.what());
    } catch (...) {
        return QStringLiteral("不明なエラーが発生しました");
    }
}

void HandleException(std::exception_ptr failure) {
    const QString message = ExceptionMessage(std::move(failure));
    MessageDlg(nullptr, message, mtError, mbOK, mbOK);
}
