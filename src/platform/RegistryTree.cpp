#include "platform/RegistryTree.h"

#include <QStringDecoder>

namespace quillora_registry {

namespace {

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

QString Escape(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else if (c == QLatin1Char('='))
            out += QLatin1String("\\=");
        else
            out += c;
    }
    return out;
}

// Unescapes text from `pos` up to an unescaped '=' (stopAtEquals) or the end.
// Returns false on a dangling or unknown escape.
bool Unescape(const QString& line, qsizetype& pos, bool stopAtEquals, QString& out) {
    while (pos < line.size()) {
        const QChar c = line[pos];
        if (c == QLatin1Char('=') && stopAtEquals)
            return true;
        ++pos;
        if (c != QLatin1Char('\\')) {
            out += c;
            continue;
        }
        if (pos >= line.size())
            return false;
        const QChar e = line[pos++];
        if (e == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        else if (e == QLatin1Char('n'))
            out += QLatin1Char('\n');
        else if (e == QLatin1Char('r'))
            out += QLatin1Char('\r');
        else if (e == QLatin1Char('='))
            out += QLatin1Char('=');
        else
            return false;
    }
    return !stopAtEquals;
}

int RootIndex(const QString& name) {
    for (int root = 0; root < kRootCount; ++root)
        if (SameName(name, TRegistry::RootName(static_cast<TRegRoot>(root))))
            return root;
    return -1;
}

bool ParseValueLine(const QString& line, TRegKey& key, QString* error) {
    const bool isString = line.startsWith(QLatin1String("s:"));
    const bool isDword = line.startsWith(QLatin1String("d:"));
    qsizetype pos = 2;
    QString name, value;
    if ((!isString && !isDword) || !Unescape(line, pos, true, name)) {
        *error = QStringLiteral("unreadable line \"%1\"").arg(line.left(40));
        return false;
    }
    ++pos;  // the '='
    if (!Unescape(line, pos, false, value)) {
        *error = QStringLiteral("unreadable value in \"%1\"").arg(line.left(40));
        return false;
    }
    if (isString) {
        key.SetValue(TRegValue{name, TRegDataType::rdString, value, 0});
        return true;
    }
    bool ok = false;
    const qint64 number = value.toLongLong(&ok);
    if (!ok || number < INT32_MIN || number > UINT32_MAX) {
        *error = QStringLiteral("bad number in \"%1\"").arg(line.left(40));
        return false;
    }
    key.SetValue(TRegValue{name, TRegDataType::rdInteger, QString(), static_cast<int32_t>(number)});
    return true;
}

TRegKey* ParseSectionLine(const QString& line, TRegTree& tree, QString* error) {
    const QStringList parts = line.mid(1, line.size() - 2).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    const int root = parts.isEmpty() ? -1 : RootIndex(parts.first());
    if (root < 0 || !IsValidKeyPath(parts.mid(1))) {
        *error = QStringLiteral("unknown key \"%1\"").arg(line.left(60));
        return nullptr;
    }
    return tree.FindOrCreate(root, parts.mid(1));
}

void FormatKey(const TRegKey& key, const QString& path, QString& out) {
    if (!key.values.isEmpty() || key.children.empty()) {
        out += QLatin1Char('[') + path + QLatin1String("]\n");
        for (const TRegValue& value : key.values) {
            const bool isString = value.type == TRegDataType::rdString;
            out += QLatin1String(isString ? "s:" : "d:") + Escape(value.name) + QLatin1Char('=') +
                   (isString ? Escape(value.text) : QString::number(value.dword)) + QLatin1Char('\n');
        }
    }
    for (const auto& child : key.children)
        FormatKey(*child, path + QLatin1Char('\\') + child->name, out);
}

}  // namespace

const TRegValue* TRegKey::FindValue(const QString& valueName) const {
    for (const TRegValue& value : values)
        if (SameName(value.name, valueName))
            return &value;
    return nullptr;
}

void TRegKey::SetValue(const TRegValue& value) {
    for (TRegValue& existing : values) {
        if (SameName(existing.name, value.name)) {
            const QString keptName = existing.name;
            existing = value;
            existing.name = keptName;
            return;
        }
    }
    values.append(value);
}

bool TRegKey::RemoveValue(const QString& valueName) {
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (SameName(values[i].name, valueName)) {
            values.removeAt(i);
            return true;
        }
    }
    return false;
}

TRegKey* TRegKey::FindChild(const QString& childName) const {
    for (const auto& child : children)
        if (SameName(child->name, childName))
            return child.get();
    return nullptr;
}

TRegKey* TRegKey::AddChild(const QString& childName) {
    children.push_back(std::make_unique<TRegKey>());
    children.back()->name = childName;
    return children.back().get();
}

bool TRegKey::RemoveChild(const QString& childName) {
    for (auto it = children.begin(); it != children.end(); ++it) {
        if (SameName((*it)->name, childName)) {
            children.erase(it);
            return true;
        }
    }
    return false;
}

TRegTree::TRegTree() {
    for (int root = 0; root < kRootCount; ++root) {
        m_roots[root] = std::make_unique<TRegKey>();
        m_roots[root]->name = TRegistry::RootName(static_cast<TRegRoot>(root));
    }
}

TRegKey* TRegTree::Find(int root, const QStringList& path) const {
    TRegKey* key = m_roots[root].get();
    for (const QString& name : path) {
        key = key->FindChild(name);
        if (!key)
            return nullptr;
    }
    return key;
}

TRegKey* TRegTree::FindOrCreate(int root, const QStringList& path) {
    TRegKey* key = m_roots[root].get();
    for (const QString& name : path) {
        TRegKey* child = key->FindChild(name);
        key = child ? child : key->AddChild(name);
    }
    return key;
}

bool TRegTree::Remove(int root, const QStringList& path) {
    if (path.isEmpty())
        return false;
    TRegKey* parent = Find(root, path.mid(0, path.size() - 1));
    return parent && parent->RemoveChild(path.last());
}

bool IsValidKeyPath(const QStringList& path) {
    for (const QString& name : path) {
        if (name.isEmpty())
            return false;
        for (QChar c : name)
            if (c.unicode() < 0x20 || c.unicode() == 0x7F || c == QLatin1Char(']'))
                return false;
    }
    return true;
}

bool ParseRegistryText(const QByteArray& bytes, TRegTree& tree, QString* error) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError() || text.contains(QChar(0))) {
        *error = QStringLiteral("not UTF-8 text");
        return false;
    }
    TRegKey* current = nullptr;
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            current = ParseSectionLine(line, tree, error);
            if (!current)
                return false;
            continue;
        }
        if (!current) {
            *error = QStringLiteral("value outside of a key");
            return false;
        }
        if (!ParseValueLine(line, *current, error))
            return false;
    }
    return true;
}

QByteArray FormatRegistryText(const TRegTree& tree) {
    QString out = QStringLiteral("; Quillora registry store\n");
    for (int root = 0; root < kRootCount; ++root) {
        const TRegKey& key = tree.Root(root);
        if (key.values.isEmpty() && key.children.empty())
            continue;
        FormatKey(key, key.name, out);
    }
    return out.toUtf8();
}

}  // namespace quillora_registry
