#pragma once
//! The code/name lookup editor: a code edit with a pick button. Leaving the edit resolves
//! the typed code through a code/name provider and copies the code and its companion
//! columns into the record (or into plain edits); the button or the Down key opens the
//! pick list of every code. A dependent editor sends its predecessor's code as "PreCode".

#include "LumoCLientDataSet.h"
#include "LumoDataSource.h"
#include "LumoEdit.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class QLineEdit;
class TLumoBtn;
class TLumoCodeName;
class Tlumodbgrid;

using TBeforeActive = std::function<void(bool &CanActive)>;
//! Shows the caller's own picker over the lookup rows; sets ModalReSult (QDialog codes) and
//! may replace the grid it was handed.
using TOnbtnClick = std::function<void(TLumoCodeName *Sender, TLumoCLientDataSet *DataSet,
                                       int &ModalReSult, std::unique_ptr<Tlumodbgrid> &UserGrid)>;
using TAfterSetData =
    std::function<void(TLumoCodeName *Sender, TLumoCLientDataSet *DataSet, bool GetDataSuccess)>;
using TOnNullPreCode = std::function<void(TLumoCodeName *Sender)>;

class TLumoCodeName : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QStringList TitlesList READ TitlesList WRITE setTitlesList)
    Q_PROPERTY(TLumoDataSource *DataSource READ DataSource WRITE setDataSource)
    Q_PROPERTY(QString CodeDataField READ CodeDataField WRITE setCodeDataField)
    Q_PROPERTY(QStringList LinkDataField READ LinkDataField WRITE setLinkDataField)
    Q_PROPERTY(QString TagStr READ TagStr WRITE setTagStr)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE setReadOnly)
    Q_PROPERTY(QColor Color READ Color WRITE setColor)
    Q_PROPERTY(TEditCharCase CharCase READ CharCase WRITE setCharCase)
    Q_PROPERTY(bool NODB READ NODB WRITE setNODB)
    Q_PROPERTY(bool MultiSelect READ MultiSelect WRITE setMultiSelect)
    Q_PROPERTY(QFont Font READ font WRITE setFont)
    Q_PROPERTY(TLumoEdit *FocusEdit READ FocusEdit WRITE setFocusEdit)
    Q_PROPERTY(TLumoCodeName *PreCodeName READ PreCodeName WRITE setPreCodeName)
    Q_PROPERTY(TBorderStyle BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(TLumoRemoteServer *RemoteServer READ RemoteServer WRITE setRemoteServer)
    Q_PROPERTY(QString ProviderName READ ProviderName WRITE setProviderName)

public:
    enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
    Q_ENUM(TEditCharCase)
    enum TBorderStyle { bsNone, bsSingle };
    Q_ENUM(TBorderStyle)

    explicit TLumoCodeName(QWidget *parent = nullptr);
    ~TLumoCodeName() override;

    QStringList TitlesList() const { return m_titles; }
    void setTitlesList(const QStringList &titles) { m_titles = titles; }
    TLumoDataSource *DataSource() const;
    void setDataSource(TLumoDataSource *source);
    QString CodeDataField() const;
    void setCodeDataField(const QString &name);
    QStringList LinkDataField() const { return m_linkFields; }
    void setLinkDataField(const QStringList &fields) { m_linkFields = fields; }
    QString TagStr() const;
    void setTagStr(const QString &value);
    bool ReadOnly() const;
    void setReadOnly(bool readOnly);
    QColor Color() const;
    void setColor(const QColor &color);
    TEditCharCase CharCase() const { return m_charCase; }
    void setCharCase(TEditCharCase charCase);
    bool NODB() const { return m_nodb; }
    void setNODB(bool nodb);
    bool MultiSelect() const { return m_multiSelect; }
    void setMultiSelect(bool on) { m_multiSelect = on; }
    //! Both edits take the font; the control takes the edit's height.
    void setFont(const QFont &font);
    TLumoEdit *FocusEdit() const { return m_focusEdit; }
    void setFocusEdit(TLumoEdit *edit) { m_focusEdit = edit; }
    TLumoCodeName *PreCodeName() const { return m_preCodeName; }
    void setPreCodeName(TLumoCodeName *predecessor) { m_preCodeName = predecessor; }
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(TBorderStyle style);
    TLumoRemoteServer *RemoteServer() const { return m_lookup->RemoteServer(); }
    void setRemoteServer(TLumoRemoteServer *server) { m_lookup->setRemoteServer(server); }
    QString ProviderName() const { return m_lookup->ProviderName(); }
    void setProviderName(const QString &name) { m_lookup->setProviderName(name); }

    TBeforeActive BeforeActive;
    TOnbtnClick OnbtnClick;
    TAfterSetData AfterSetData;
    TOnNullPreCode OnNullPreCode; // kept for forms that assign it; never fired

    //! The text of the visible edit.
    QString Text() const;
    void setText(const QString &text);
    //! The edit the operator types into: the data-aware one, or the plain one with NODB.
    QLineEdit *activeEdit() const;
    TLumoDBEdit *dbEdit() const { return m_dbEdit; }
    TLumoEdit *plainEdit() const { return m_plainEdit; }
    TLumoBtn *pickButton() const { return m_button; }
    TLumoCLientDataSet *lookupDataSet() const { return m_lookup.get(); }

    //! What leaving the edit does: the typed code looked up and copied, or the target
    //! cleared with the not-found message.
    void Resolve();
    //! What the button and the Down key do: the list of every code, the chosen row copied.
    void Pick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void placeButton();
    void showButton(bool shown);
    bool allowedToActivate();
    bool checkPredecessor();
    QString predecessorTitle() const;
    QString codeTitle() const;
    bool reopenLookup(QString *error);
    void applyTitles();
    int runPicker(std::unique_ptr<Tlumodbgrid> &grid);
    void clearTarget();
    void fillTarget();
    bool fillDataSet();
    void fillPlainEdits();
    void fireAfterSetData();
    TLumoCLientDataSet *targetDataSet() const;

    TLumoDBEdit *m_dbEdit;
    TLumoEdit *m_plainEdit;
    TLumoBtn *m_button;
    std::unique_ptr<TLumoCLientDataSet> m_lookup;
    QStringList m_titles;
    QStringList m_linkFields;
    TEditCharCase m_charCase = ecUpperCase;
    bool m_nodb = false;
    bool m_multiSelect = false;
    TBorderStyle m_borderStyle = bsSingle;
    QPointer<TLumoEdit> m_focusEdit;
    QPointer<TLumoCodeName> m_preCodeName;
    bool m_busy = false; // a lookup is running: its messages and dialogs move the focus
    bool m_dying = false;
};
