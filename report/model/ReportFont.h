#pragma once

#include "platform/Colors.h"
#include "report/model/ReportTypes.h"
#include "report/notation/StreamHooks.h"

// The font of a report, band or text element. The size in points is kept; the stored `Height` is the
// negative pixel height at the screen resolution, as fonts are stored in report files.
class ReportFont : public RpPersistent
{
    Q_OBJECT
    Q_PROPERTY(Rp::TFontCharset Charset READ charset WRITE setCharset)
    Q_PROPERTY(int Color READ color WRITE setColor)
    Q_PROPERTY(int Height READ height WRITE setHeight)
    Q_PROPERTY(QString Name READ name WRITE setName)
    Q_PROPERTY(Rp::TFontPitch Pitch READ pitch WRITE setPitch)
    Q_PROPERTY(int Size READ size WRITE setSize STORED false)
    Q_PROPERTY(Rp::TFontStyles Style READ style WRITE setStyle)

public:
    explicit ReportFont(QObject *parent = nullptr);

    Rp::TFontCharset charset() const { return m_charset; }
    void setCharset(Rp::TFontCharset value);
    TColor color() const { return m_color; }
    void setColor(TColor value);
    int height() const;
    void setHeight(int value);
    QString name() const { return m_name; }
    void setName(const QString &value);
    Rp::TFontPitch pitch() const { return m_pitch; }
    void setPitch(Rp::TFontPitch value);
    int size() const { return m_size; }
    // A size of 0 or less becomes 10 points.
    void setSize(int value);
    Rp::TFontStyles style() const { return m_style; }
    void setStyle(Rp::TFontStyles value);

    void assign(const ReportFont &other);
    bool sameAs(const ReportFont &other) const;

private:
    void touch();

    Rp::TFontCharset m_charset = Rp::DEFAULT_CHARSET;
    TColor m_color = clWindowText;
    QString m_name = QStringLiteral("Arial");
    Rp::TFontPitch m_pitch = Rp::fpDefault;
    int m_size = 10;
    Rp::TFontStyles m_style;
    int m_resolution;
};
