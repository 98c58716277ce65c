#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QTextStream>

// The helper's side of a test with a rival: another program that holds a SQLite database's write
// lock until it is told (a line on its input, or the input closed). It says "held" once it does.
inline int holdDatabase(const QString& path) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other program"));
    db.setDatabaseName(path);
    if (!db.open()) return 1;
    QSqlQuery hold(db);
    if (!hold.exec(QStringLiteral("BEGIN EXCLUSIVE"))) return 2;
    QTextStream(stdout) << "held" << Qt::endl;
    QTextStream(stdin).readLine();
    hold.exec(QStringLiteral("ROLLBACK"));
    return 0;
}
