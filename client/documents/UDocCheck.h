#pragma once
//! The check ("审核") of documents: each unchecked one selected in the list (or the current
//! one) is stamped checked by the operator at this time, its lines are announced to the
//! server one by one, and all of it is applied at once.

#include <QString>

class TLumoCLientDataSet;
class Tlumodbgrid;
struct TLumoSession;

class TDocCheck
{
public:
    TDocCheck(TLumoCLientDataSet &heads, TLumoCLientDataSet &lines, Tlumodbgrid &list,
              const TLumoSession &session);

    //! The line fields naming the source line (LinkHeadno and LinkBodyno by default).
    void setLinkFields(const QString &headNo, const QString &bodyNo);

    //! Runs the check; silent keeps the closing message back (a check right after a save).
    //! False when nothing was checked or the server refused the result.
    bool run(bool silent);

    //! The current time as a document stores it.
    static QString now();

private:
    QList<int> rowsToCheck() const;
    bool checkCurrent();
    bool applyOrUndo();
    void announceLines();

    TLumoCLientDataSet &m_heads;
    TLumoCLientDataSet &m_lines;
    Tlumodbgrid &m_list;
    const TLumoSession &m_session;
    QString m_linkHeadNo = QStringLiteral("LinkHeadno");
    QString m_linkBodyNo = QStringLiteral("LinkBodyno");
};
