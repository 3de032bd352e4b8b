#pragma once
//! The system parameters of an account set, with their designed defaults. The server keeps
//! them as named rows (table XSysPara: one row per name, the logo as a picture), hands them
//! to the client at login (LogIn's SysSet output) and stores them for an operator holding
//! "系统参数". Over the wire they travel as one JSON object text.

#include <QByteArray>
#include <QMap>
#include <QString>

namespace korvane {

struct SystemParameters
{
    bool autoCheck = true;       // 单据自动审核: a saved document is checked at once
    bool buyPriceUpdate = true;  // checking a purchase order writes its prices to the products
    bool salePriceUpdate = true; // checking a sales order writes its prices to the products
    bool negativeStock = true;   // 允许负库存: an apply may leave stock on hand below zero
    QString reportCorpName1;     // 报表表头公司名称, two lines
    QString reportCorpName2;
    QByteArray reportLogo; // PNG of at most LogoSize × LogoSize; empty: none
    bool reportHeadLine = true;
    bool reportFootLine = true;
    bool reportPrintTime = true;

    static constexpr int LogoSize = 32;
    static constexpr int MaxLogoBytes = 64 * 1024;

    //! Named values as stored: every parameter but the logo, booleans as "1"/"0".
    QMap<QString, QString> toValues() const;
    //! Missing names keep their defaults.
    static SystemParameters fromValues(const QMap<QString, QString> &values, QByteArray logo);
    static QString logoName() { return QStringLiteral("ReportLogo"); }

    QString toText() const;
    //! The defaults for an empty text; false in *ok for a text that is no such object.
    static SystemParameters fromText(const QString &text, bool *ok = nullptr);

    //! Whether the bytes are a PNG or JPEG picture small enough to store.
    static bool isStorableLogo(const QByteArray &bytes);

    friend bool operator==(const SystemParameters &, const SystemParameters &) = default;
};

} // namespace korvane
