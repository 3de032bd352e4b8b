#include "UDocumentDecl.h"

const TDocumentDecl *findDocumentDecl(const QList<TDocumentKind> &kinds, const QString &className)
{
    for (const TDocumentKind &kind : kinds) {
        if (kind.className == className)
            return &kind.decl;
    }
    return nullptr;
}

namespace docdecl {

TDocFieldDecl hidden(TDocFieldDecl decl)
{
    decl.shown = false;
    return decl;
}

TDocFieldDecl gridReadOnly(TDocFieldDecl decl)
{
    decl.gridReadOnly = true;
    return decl;
}

TDocFieldDecl field(const char *name, const QString &label, int width, bool required)
{
    return {QLatin1String(name), label, korvane::FieldType::String, width, required};
}

TDocumentDecl masterData(const QString &caption, const QString &listCaption,
                         const QString &documentCaption, const char *provider,
                         const char *headTable, const char *nestedField, const char *lineTable,
                         const char *headKey, const char *lineKey)
{
    TDocumentDecl d;
    d.caption = caption;
    d.listCaption = listCaption;
    d.documentCaption = documentCaption;
    d.provider = QLatin1String(provider);
    d.headTable = QLatin1String(headTable);
    d.nestedField = QLatin1String(nestedField);
    d.lineTable = QLatin1String(lineTable);
    d.headKey = QLatin1String(headKey);
    d.lineKey = QLatin1String(lineKey);
    d.billModule = false;
    d.checked = false;
    d.goodsLines = false;
    d.dateRange = false;
    return d;
}

QList<TDocFieldDecl> headFields(const THeadLabels &l)
{
    const bool hasPartner = !l.partner.isEmpty();
    QList<TDocFieldDecl> fields{
        field("headno", l.headNo, 15, true),
        field("hdate", QStringLiteral("日期"), 19, true),
        field("Flag", QStringLiteral("Flag"), 1),
        field("InOutFlag", l.inOutFlag, 1),
        field("State", l.state, 1),
        field("inputer", QStringLiteral("录入人代码"), 10),
        field("Assessorcode", QStringLiteral("审核人代码"), 10),
        field("AssessorDate", QStringLiteral("审核日期"), 19),
        field("storecode", l.store, 10, true),
        field("StoreName", QStringLiteral("仓库名称"), 100),
        field("StorecodeIn", l.storeIn.isEmpty() ? QStringLiteral("拨入仓库") : l.storeIn, 10,
              !l.storeIn.isEmpty()),
        field("spcode", hasPartner ? l.partner : QStringLiteral("往来单位"), 10, hasPartner),
        field("Spname", hasPartner ? l.partner : QStringLiteral("往来单位"), 140),
        field("Deptcode", l.dept, 10, true),
        field("DeptName", l.deptName, 100),
        field("mcode", l.employee, 10, true),
        field("MName", l.employeeName, 10),
        field("note", QStringLiteral("说明"), 100),
    };
    if (l.hasStoreInName)
        fields << field("StoreNameIn", QStringLiteral("拨入仓库名称"), 100);
    return fields;
}

QList<TDocFieldDecl> lineFields(const TLineLabels &l)
{
    TDocFieldDecl packages{QStringLiteral("BigPackNum"), l.packages, korvane::FieldType::Integer};
    TDocFieldDecl perPackage{QStringLiteral("PackNum"), QStringLiteral("每包装数量"),
                             korvane::FieldType::Float};
    TDocFieldDecl quantity{QStringLiteral("pqty"), l.quantity, korvane::FieldType::Float, 0, true};
    TDocFieldDecl linkHead = gridReadOnly(field("LinkHeadno", l.linkHeadNo, 15));
    TDocFieldDecl linkBody = gridReadOnly(field("LinkBodyno", l.linkBodyNo, 4));
    if (!l.showLinks) {
        linkHead.shown = false;
        linkBody.shown = false;
    }
    return {
        hidden(field("headno", l.headNo, 15, true)),
        hidden(field("bodyno", QStringLiteral("项次"), 4, true)),
        linkHead,
        linkBody,
        field("pdtcode", QStringLiteral("货品代码"), 30, true),
        gridReadOnly(field("PdtName", QStringLiteral("货品名称"), 60)),
        field("pdtno", QStringLiteral("货品项次"), 4, true),
        gridReadOnly(field("specname", QStringLiteral("规格型号"), 255)),
        packages,
        gridReadOnly(perPackage),
        quantity,
        field("note", QStringLiteral("说明"), 60),
    };
}

QStringList storeTitles()
{
    return {QStringLiteral("仓库代码"), QStringLiteral("仓库名称"), QStringLiteral("所属公司"),
            QStringLiteral("所属部门")};
}

QStringList deptTitles()
{
    return {QStringLiteral("代码"), QStringLiteral("部门名称"), QStringLiteral("公司代码"),
            QStringLiteral("所属公司")};
}

QStringList userTitles()
{
    return {QStringLiteral("代码"), QStringLiteral("姓名"), QStringLiteral("所属公司"),
            QStringLiteral("所属部门")};
}

QStringList partnerTitles()
{
    return {QStringLiteral("代码"), QStringLiteral("名称"), QStringLiteral("地区"),
            QStringLiteral("关系部门")};
}

TDocSelectorDecl storeSelector()
{
    return {QStringLiteral("cnStoreCodeSel"), QStringLiteral("StoreCode"),
            QStringLiteral("仓库"),           QString(),
            QStringLiteral("dspStoreCN"),     storeTitles()};
}

TDocSelectorDecl deptSelector()
{
    return {QStringLiteral("cnDeptCodeSel"), QStringLiteral("DeptCode"),
            QStringLiteral("部门代码"),      QString(),
            QStringLiteral("dspDeptCN"),     deptTitles()};
}

TDocSelectorDecl partnerSelector(const QString &provider, const QString &caption,
                                 const QString &nameCaption)
{
    return {QStringLiteral("cnSpCodeSel"),
            QStringLiteral("spCode"),
            caption,
            nameCaption,
            provider,
            partnerTitles()};
}

TDocEditorDecl codeName(const char *name, const char *field, const QString &caption,
                        const char *provider, const QStringList &titles, const char *nameField)
{
    TDocEditorDecl e;
    e.kind = TDocEditorDecl::ekCodeName;
    e.name = QLatin1String(name);
    e.field = QLatin1String(field);
    e.caption = caption;
    e.provider = QLatin1String(provider);
    e.titles = titles;
    e.nameField = QLatin1String(nameField);
    return e;
}

TDocEditorDecl readOnly(const char *field, const QString &caption)
{
    TDocEditorDecl e;
    e.kind = TDocEditorDecl::ekReadOnly;
    e.name = QStringLiteral("edt") + QLatin1String(field);
    e.field = QLatin1String(field);
    e.caption = caption;
    return e;
}

TDocEditorDecl text(const char *field, const QString &caption, bool wide)
{
    TDocEditorDecl e;
    e.name = QStringLiteral("edt") + QLatin1String(field);
    e.field = QLatin1String(field);
    e.caption = caption;
    e.wide = wide;
    return e;
}

TDocEditorDecl listBox(const char *name, const char *field, const QString &caption,
                       const char *listSource, const char *keyField, const char *listField)
{
    TDocEditorDecl e;
    e.kind = TDocEditorDecl::ekListBox;
    e.name = QLatin1String(name);
    e.field = QLatin1String(field);
    e.caption = caption;
    e.listSource = QLatin1String(listSource);
    e.keyField = QLatin1String(keyField);
    e.listField = QLatin1String(listField);
    return e;
}

QList<TDocEditorDecl> headEditors(const QString &headNoCaption, const QList<TDocEditorDecl> &middle)
{
    TDocEditorDecl number;
    number.kind = TDocEditorDecl::ekHeadNo;
    number.name = QStringLiteral("edtHeadno");
    number.field = QStringLiteral("headno");
    number.caption = headNoCaption;
    TDocEditorDecl date;
    date.kind = TDocEditorDecl::ekDate;
    date.name = QStringLiteral("dehDate");
    date.field = QStringLiteral("hdate");
    date.caption = QStringLiteral("日期");
    QList<TDocEditorDecl> editors{number, date};
    editors << middle;
    editors << text("note", QStringLiteral("说明"), true)
            << readOnly("AssessorName", QStringLiteral("审核人"))
            << readOnly("AssessorDate", QStringLiteral("审核日期"))
            << readOnly("StateName", QStringLiteral("状态"))
            << readOnly("InputerName", QStringLiteral("录入人"));
    return editors;
}

} // namespace docdecl
