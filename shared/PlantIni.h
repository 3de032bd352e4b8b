#pragma once
//! The settings file "Plant.ini": one string at a time, sections and keys matched without
//! regard to case. A write keeps every other line of the file (keys, sections, comments)
//! as it was, and keeps the file's own encoding (UTF-8, or GBK for older files).

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace korvane {

//! An ini file on disk. Every call reads the file afresh, so several programs may share it.
class PlantIni
{
public:
    explicit PlantIni(const QString &filePath);

    QString filePath() const { return m_filePath; }

    //! The value of section/key, trimmed; defaultValue when the file, section or key is missing.
    QString read(const QString &section, const QString &key,
                 const QString &defaultValue = QString()) const;
    //! "1", "true" or "yes" (any case), or a non-zero number, is true; "0", "false", "no" false.
    bool readBool(const QString &section, const QString &key, bool defaultValue) const;
    //! Section names as written in the file, in file order.
    QStringList sections() const;
    //! Key names of one section, as written, in file order.
    QStringList keys(const QString &section) const;

    //! Sets section/key to value; creates file and section when missing. A value holding a
    //! line break, or a section/key that ini syntax cannot hold, is refused. False with the
    //! reason in *error when the file cannot be written; the file is then unchanged.
    bool write(const QString &section, const QString &key, const QString &value,
               QString *error = nullptr);
    //! Sets several keys of one section in one save: all are written or none.
    bool write(const QString &section, const QList<QPair<QString, QString>> &values,
               QString *error = nullptr);
    bool writeBool(const QString &section, const QString &key, bool value,
                   QString *error = nullptr);
    //! Removes one key (no-op when absent).
    bool removeKey(const QString &section, const QString &key, QString *error = nullptr);
    //! Removes a section with its keys and the comments inside it (no-op when absent).
    bool removeSection(const QString &section, QString *error = nullptr);

private:
    QString m_filePath;
};

//! Plant.ini in the running program's folder.
QString plantIniPath();

//! One string of Plant.ini in the running program's folder.
QString ReadPlantIni(const QString &section, const QString &key,
                     const QString &defaultValue = QString());
//! Writes one string of Plant.ini in the running program's folder; false when it cannot.
bool WritePlantIni(const QString &section, const QString &key, const QString &value);

//! The same, on an explicit file.
QString ReadPlantIni(const QString &filePath, const QString &section, const QString &key,
                     const QString &defaultValue);
bool WritePlantIni(const QString &filePath, const QString &section, const QString &key,
                   const QString &value);

} // namespace korvane
