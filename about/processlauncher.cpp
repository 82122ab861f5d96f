#include "processlauncher.h"

#include <QProcess>

bool ProcessLauncher::launch(const QString &commandLine)
{
    QStringList command = resolve(commandLine);
    if (command.isEmpty())
        return false;

    QProcess process;
    process.setProgram(command.takeFirst());
    process.setArguments(command);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached();
}

QStringList ProcessLauncher::resolve(const QString &commandLine)
{
    QStringList command = split(commandLine);
    if (command.isEmpty() || command.first().isEmpty())
        return {};
    if (command.first().compare(QLatin1String("Start.exe"), Qt::CaseInsensitive) == 0)
        command.first() = QStringLiteral("xdg-open");
    return command;
}

// Blanks separate the words; double quotes hold blanks inside a word and are dropped. A pair
// of quotes with nothing between is an empty word, not nothing.
QStringList ProcessLauncher::split(const QString &commandLine)
{
    QStringList words;
    QString word;
    bool inWord = false;
    bool quoted = false;
    for (const QChar c : commandLine) {
        if (c == u'"') {
            quoted = !quoted;
            inWord = true;
        } else if (c.isSpace() && !quoted) {
            if (inWord)
                words.append(word);
            word.clear();
            inWord = false;
        } else {
            word.append(c);
            inWord = true;
        }
    }
    if (inWord)
        words.append(word);
    return words;
}
