#include "app/ResourceSet.h"

#include "app/AppLog.h"
#include "app/LanguageFiles.h"
#include "resources/BuiltInEnglish.h"

#include <QFile>
#include <QTranslator>

#include <utility>

Q_LOGGING_CATEGORY(lcApp, "orvo.app", QtInfoMsg)

namespace {

// Far above any real set; a larger file is not a translation of this program.
constexpr qint64 kMaxLanguageFileBytes = 8 * 1024 * 1024;

QHash<quint32, QString> EnglishTexts()
{
    QHash<quint32, QString> texts;
    for (const BuiltInText &text : BuiltInEnglishTexts())
        texts.insert(text.nId, QString::fromUtf8(text.pszText));
    return texts;
}

} // namespace

ResourceSet::ResourceSet()
    : m_texts(EnglishTexts())
{}

ResourceSet::ResourceSet(QString strCode, QString strFilePath, QHash<quint32, QString> texts)
    : m_strCode(std::move(strCode))
    , m_strFilePath(std::move(strFilePath))
    , m_texts(std::move(texts))
{}

std::unique_ptr<ResourceSet> ResourceSet::LoadLanguage(const QString &strCode, const LanguageFiles &files)
{
    const QString strPath = files.Find(strCode);
    if (strPath.isEmpty()) {
        qCDebug(lcApp) << "no language file" << files.FileName(strCode) << "in" << files.Folders();
        return nullptr;
    }
    return LoadFile(strCode, strPath);
}

std::unique_ptr<ResourceSet> ResourceSet::LoadFile(const QString &strCode, const QString &strFilePath)
{
    // Read the exact file ourselves: QTranslator::load(path) would also try other names
    // derived from the path when this one does not load.
    QFile file(strFilePath);
    if (file.size() > kMaxLanguageFileBytes || !file.open(QIODevice::ReadOnly)) {
        qCWarning(lcApp) << "cannot read the language file" << strFilePath;
        return nullptr;
    }
    const QByteArray data = file.readAll();
    QTranslator translator;
    if (data.size() != file.size() ||
        !translator.load(reinterpret_cast<const uchar *>(data.constData()), int(data.size()))) {
        qCWarning(lcApp) << "not a language file:" << strFilePath;
        return nullptr;
    }

    // Copy every known identifier out of the translator, so that the set owns plain data and
    // needs no locking when worker threads look texts up.
    QHash<quint32, QString> texts;
    for (const BuiltInText &text : BuiltInEnglishTexts()) {
        const QByteArray id = QByteArray::number(text.nId);
        const QString strText = translator.translate(nullptr, id.constData());
        if (!strText.isEmpty())
            texts.insert(text.nId, strText);
    }
    qCDebug(lcApp) << "language file loaded:" << strFilePath << texts.size() << "texts";
    return std::unique_ptr<ResourceSet>(new ResourceSet(strCode, strFilePath, std::move(texts)));
}

QString ResourceSet::Text(quint32 nId) const
{
    return m_texts.value(nId);
}
