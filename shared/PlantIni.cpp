#include "PlantIni.h"

#include "InstanceNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>

namespace korvane {

namespace {

const char *const kLegacyEncoding = "GBK";

//! The file as lines, with what is needed to write it back the way it was.
struct IniText
{
    QStringList lines;
    QString eol = QStringLiteral("\n");
    bool legacyEncoding = false; // read as GBK, so written as GBK
    bool utf8Bom = false;
};

struct SectionRange
{
    qsizetype header = -1; // index of the "[name]" line
    qsizetype end = 0;     // one past the section's last line
};

QString decodeLegacy(const QByteArray &bytes)
{
    QStringDecoder gbk(kLegacyEncoding);
    if (gbk.isValid())
        return gbk.decode(bytes);
    // Without ICU there is no GBK table: keep the bytes readable one to one.
    return QString::fromLatin1(bytes);
}

QByteArray encodeLegacy(const QString &text)
{
    QStringEncoder gbk(kLegacyEncoding);
    if (gbk.isValid())
        return gbk.encode(text);
    return text.toLatin1();
}

bool loadIni(const QString &path, IniText *ini, QString *error)
{
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("无法读取 %1：%2").arg(path, file.errorString());
        return false;
    }
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        ini->utf8Bom = true;
        bytes.remove(0, 3);
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        ini->legacyEncoding = true;
        text = decodeLegacy(bytes);
    }
    if (text.contains(QLatin1String("\r\n")))
        ini->eol = QStringLiteral("\r\n");
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    ini->lines = text.split(QLatin1Char('\n'));
    if (!ini->lines.isEmpty() && ini->lines.last().isEmpty())
        ini->lines.removeLast(); // the final line break
    return true;
}

bool saveIni(const QString &path, const IniText &ini, QString *error)
{
    QString text;
    for (const QString &line : ini.lines)
        text += line + ini.eol;
    QByteArray bytes = ini.legacyEncoding ? encodeLegacy(text) : text.toUtf8();
    if (ini.utf8Bom && !ini.legacyEncoding)
        bytes.prepend("\xEF\xBB\xBF");

    QFile existing(path);
    if (existing.exists() && !QFileInfo(path).isWritable()) {
        if (error)
            *error = QStringLiteral("无法写入 %1：文件只读").arg(path);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = QStringLiteral("无法写入 %1：%2").arg(path, file.errorString());
        return false;
    }
    return true;
}

bool isComment(const QString &trimmed)
{
    return trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#'));
}

std::optional<QString> sectionName(const QString &line)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return std::nullopt;
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    if (close < 0)
        return std::nullopt;
    return t.mid(1, close - 1).trimmed();
}

//! Key and value of a "key=value" line; nullopt for comments, headers and other lines.
std::optional<QPair<QString, QString>> keyValue(const QString &line)
{
    const QString t = line.trimmed();
    if (t.isEmpty() || isComment(t) || t.startsWith(QLatin1Char('[')))
        return std::nullopt;
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return std::nullopt;
    QString value = t.mid(eq + 1).trimmed();
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
        value = value.mid(1, value.size() - 2);
    return qMakePair(t.left(eq).trimmed(), value);
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

//! The first section of that name (the one every reader uses).
SectionRange findSection(const IniText &ini, const QString &section)
{
    SectionRange range;
    for (qsizetype i = 0; i < ini.lines.size(); ++i) {
        const auto name = sectionName(ini.lines.at(i));
        if (!name)
            continue;
        if (range.header >= 0) {
            range.end = i;
            return range;
        }
        if (sameName(*name, section))
            range.header = i;
    }
    range.end = ini.lines.size();
    return range;
}

qsizetype findKey(const IniText &ini, const SectionRange &range, const QString &key)
{
    for (qsizetype i = range.header + 1; i < range.end; ++i) {
        const auto kv = keyValue(ini.lines.at(i));
        if (kv && sameName(kv->first, key))
            return i;
    }
    return -1;
}

bool validNames(const QString &section, const QString &key, const QString &value, QString *error)
{
    const auto hasBreak = [](const QString &s) {
        return s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r'));
    };
    const QString k = key.trimmed();
    const bool ok = !section.trimmed().isEmpty() && !section.contains(QLatin1Char(']')) &&
                    !hasBreak(section) && !k.isEmpty() && !k.contains(QLatin1Char('=')) &&
                    !k.startsWith(QLatin1Char('[')) && !isComment(k) && !hasBreak(key) &&
                    !hasBreak(value);
    if (!ok && error)
        *error = QStringLiteral("设置项 [%1] %2 的名称或值不能写入设置文件").arg(section, key);
    return ok;
}

void setValue(IniText *ini, const QString &section, const QString &key, const QString &value)
{
    const SectionRange range = findSection(*ini, section);
    if (range.header < 0) {
        if (!ini->lines.isEmpty() && !ini->lines.last().trimmed().isEmpty())
            ini->lines << QString();
        ini->lines << QLatin1Char('[') + section.trimmed() + QLatin1Char(']');
        ini->lines << key.trimmed() + QLatin1Char('=') + value;
        return;
    }
    const qsizetype line = findKey(*ini, range, key);
    if (line >= 0) {
        ini->lines[line] = keyValue(ini->lines.at(line))->first + QLatin1Char('=') + value;
        return;
    }
    // A new key goes after the section's last key, ahead of blank lines and of comments
    // that introduce the next section.
    qsizetype insertAt = range.header + 1;
    for (qsizetype i = range.header + 1; i < range.end; ++i) {
        if (keyValue(ini->lines.at(i)))
            insertAt = i + 1;
    }
    ini->lines.insert(insertAt, key.trimmed() + QLatin1Char('=') + value);
}

} // namespace

PlantIni::PlantIni(const QString &filePath) : m_filePath(filePath) {}

QString PlantIni::read(const QString &section, const QString &key,
                       const QString &defaultValue) const
{
    IniText ini;
    if (!loadIni(m_filePath, &ini, nullptr))
        return defaultValue;
    const SectionRange range = findSection(ini, section);
    if (range.header < 0)
        return defaultValue;
    const qsizetype line = findKey(ini, range, key);
    if (line < 0)
        return defaultValue;
    return keyValue(ini.lines.at(line))->second;
}

bool PlantIni::readBool(const QString &section, const QString &key, bool defaultValue) const
{
    const QString text = read(section, key).trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("yes"))
        return true;
    if (text == QLatin1String("false") || text == QLatin1String("no"))
        return false;
    bool isNumber = false;
    const qlonglong number = text.toLongLong(&isNumber);
    return isNumber ? number != 0 : defaultValue;
}

QStringList PlantIni::sections() const
{
    IniText ini;
    QStringList names;
    if (!loadIni(m_filePath, &ini, nullptr))
        return names;
    for (const QString &line : std::as_const(ini.lines)) {
        if (const auto name = sectionName(line))
            names << *name;
    }
    return names;
}

QStringList PlantIni::keys(const QString &section) const
{
    IniText ini;
    QStringList names;
    if (!loadIni(m_filePath, &ini, nullptr))
        return names;
    const SectionRange range = findSection(ini, section);
    for (qsizetype i = range.header + 1; range.header >= 0 && i < range.end; ++i) {
        if (const auto kv = keyValue(ini.lines.at(i)))
            names << kv->first;
    }
    return names;
}

bool PlantIni::write(const QString &section, const QString &key, const QString &value,
                     QString *error)
{
    return write(section, {{key, value}}, error);
}

bool PlantIni::write(const QString &section, const QList<QPair<QString, QString>> &values,
                     QString *error)
{
    for (const auto &[key, value] : values) {
        if (!validNames(section, key, value, error))
            return false;
    }
    IniText ini;
    if (!loadIni(m_filePath, &ini, error))
        return false;
    for (const auto &[key, value] : values)
        setValue(&ini, section, key, value);
    return saveIni(m_filePath, ini, error);
}

bool PlantIni::writeBool(const QString &section, const QString &key, bool value, QString *error)
{
    return write(section, key, value ? QStringLiteral("1") : QStringLiteral("0"), error);
}

bool PlantIni::removeKey(const QString &section, const QString &key, QString *error)
{
    IniText ini;
    if (!loadIni(m_filePath, &ini, error))
        return false;
    const SectionRange range = findSection(ini, section);
    const qsizetype line = range.header < 0 ? -1 : findKey(ini, range, key);
    if (line < 0)
        return true;
    ini.lines.removeAt(line);
    return saveIni(m_filePath, ini, error);
}

bool PlantIni::removeSection(const QString &section, QString *error)
{
    IniText ini;
    if (!loadIni(m_filePath, &ini, error))
        return false;
    const SectionRange range = findSection(ini, section);
    if (range.header < 0)
        return true;
    ini.lines.remove(range.header, range.end - range.header);
    return saveIni(m_filePath, ini, error);
}

QString plantIniPath()
{
    return QDir(programDir()).filePath(QStringLiteral("Plant.ini"));
}

QString ReadPlantIni(const QString &section, const QString &key, const QString &defaultValue)
{
    return PlantIni(plantIniPath()).read(section, key, defaultValue);
}

bool WritePlantIni(const QString &section, const QString &key, const QString &value)
{
    return PlantIni(plantIniPath()).write(section, key, value);
}

QString ReadPlantIni(const QString &filePath, const QString &section, const QString &key,
                     const QString &defaultValue)
{
    return PlantIni(filePath).read(section, key, defaultValue);
}

bool WritePlantIni(const QString &filePath, const QString &section, const QString &key,
                   const QString &value)
{
    return PlantIni(filePath).write(section, key, value);
}

} // namespace korvane
