#include "ui/qt/file_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>

namespace marlinq::qt {

namespace {

QString Q(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QStringList NameFilters(const std::string& filter) {
    QStringList parts = Q(filter).split(QLatin1Char('|'));
    while (!parts.isEmpty() && parts.back().trimmed().isEmpty()) {
        parts.removeLast();
    }
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        // A description that shows its own pattern in parentheses keeps it as text only.
        description.remove(QRegularExpression(QStringLiteral("\\s*\\([^()]*\\)$")));
        QStringList globs;
        for (const QString& glob : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString g = glob.trimmed();
            if (!g.isEmpty()) {
                globs << (g == QStringLiteral("*.*") ? QStringLiteral("*") : g);
            }
        }
        if (!globs.isEmpty()) {
            filters << description + QStringLiteral(" (") + globs.join(QLatin1Char(' ')) + QLatin1Char(')');
        }
    }
    return filters;
}

std::string AskFile(QWidget* parent, const fw::FileDialogRequest& request) {
    QString defaultExt = Q(request.defaultExt);
    if (defaultExt.startsWith(QStringLiteral("*."))) {
        defaultExt = defaultExt.mid(2);
    }
    for (;;) {
        QFileDialog dialog(parent, Q(request.title));
        dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(request.save || !request.fileMustExist ? QFileDialog::AnyFile
                                                                  : QFileDialog::ExistingFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
        const QStringList filters = NameFilters(request.filter);
        if (!filters.isEmpty()) {
            dialog.setNameFilters(filters);
        }
        if (!defaultExt.isEmpty()) {
            dialog.setDefaultSuffix(defaultExt);
        }
        if (!request.defaultName.empty()) {
            dialog.selectFile(Q(request.defaultName));
        }
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return {};
        }
        const QString path = dialog.selectedFiles().front();
        if (request.createPrompt && !QFileInfo::exists(path)) {
            const auto answer = QMessageBox::question(
                parent, Q(request.title),
                QFileInfo(path).fileName() + QStringLiteral("\nThis file does not exist.\nCreate the file?"));
            if (answer != QMessageBox::Yes) {
                continue;  // back to the dialog, as when the question is declined on the desktop
            }
        }
        const QByteArray utf8 = path.toUtf8();
        return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    }
}

}  // namespace marlinq::qt
