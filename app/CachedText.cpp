#include "app/CachedText.h"

#include <QHash>
#include <QPainter>
#include <QStaticText>
#include <utility>

namespace tontoko {

void DrawCachedText(QPainter& p, const QRect& rect, Qt::Alignment align, const QString& text) {
    using Key = std::pair<QString, QString>;
    static QHash<Key, QStaticText> layouts;
    const QFont& font = p.font();
    const Key key(font.key(), text);
    auto it = layouts.constFind(key);
    if (it == layouts.constEnd()) {
        if (layouts.size() >= 4096) {
            layouts.clear();
        }
        QStaticText layout(text);
        layout.setTextFormat(Qt::PlainText);
        layout.setPerformanceHint(QStaticText::AggressiveCaching);
        layout.prepare(QTransform(), font);
        it = layouts.insert(key, layout);
    }
    const QSizeF size = it->size();
    qreal x = rect.left();
    if (align & Qt::AlignRight) {
        x = rect.left() + rect.width() - size.width();
    } else if (align & Qt::AlignHCenter) {
        x = rect.left() + (rect.width() - size.width()) / 2;
    }
    qreal y = rect.top();
    if (align & Qt::AlignVCenter) {
        y = rect.top() + (rect.height() - size.height()) / 2;
    } else if (align & Qt::AlignBottom) {
        y = rect.top() + rect.height() - size.height();
    }
    const bool clip = size.width() > rect.width() || size.height() > rect.height();
    if (clip) {
        p.save();
        p.setClipRect(rect, Qt::IntersectClip);
    }
    p.drawStaticText(QPointF(x, y), *it);
    if (clip) {
        p.restore();
    }
}

}  // namespace tontoko
