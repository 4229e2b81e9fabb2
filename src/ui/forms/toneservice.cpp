#include "forms/toneservice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QtEndian>
#include <cmath>
#include <memory>

namespace {
CToneService::Observer &CurrentObserver()
{
    static CToneService::Observer observer;
    return observer;
}

void AppendLE32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void AppendLE16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

bool HasAlsaPlayback()
{
    const QDir snd(QStringLiteral("/dev/snd"));
    return !snd.entryList({QStringLiteral("pcmC*p")}, QDir::System).isEmpty();
}

bool HasPulseServer()
{
    if (!qEnvironmentVariableIsEmpty("PULSE_SERVER"))
        return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/pulse/native"));
}
} // namespace

int CToneService::Frequency(Tone tone)
{
    return tone == Tone::Accepted ? 240 : 752;
}

int CToneService::Duration(Tone tone)
{
    return tone == Tone::Accepted ? 8 : 15;
}

void CToneService::SetObserver(Observer observer)
{
    CurrentObserver() = std::move(observer);
}

void CToneService::Play(Tone tone)
{
    if (const auto &observer = CurrentObserver()) {
        observer(tone);
        return;
    }
    // Headless runs have nobody to hear.
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return;
    static const QString player = FindPlayer();
    if (player.isEmpty())
        return;
    const QString file = WaveFile(tone);
    if (file.isEmpty())
        return;
    QStringList arguments{file};
    if (QFileInfo(player).fileName() == QLatin1String("aplay"))
        arguments.prepend(QStringLiteral("-q"));
    QProcess::startDetached(player, arguments);
}

QString CToneService::FindPlayer()
{
    if (HasPulseServer()) {
        const QString paplay = QStandardPaths::findExecutable(QStringLiteral("paplay"));
        if (!paplay.isEmpty())
            return paplay;
    }
    if (HasAlsaPlayback())
        return QStandardPaths::findExecutable(QStringLiteral("aplay"));
    return {};
}

QString CToneService::WaveFile(Tone tone)
{
    static std::unique_ptr<QTemporaryDir> dir;
    if (!dir)
        dir = std::make_unique<QTemporaryDir>();
    if (!dir->isValid())
        return {};
    const QString path = dir->filePath(tone == Tone::Accepted ? QStringLiteral("accepted.wav")
                                                              : QStringLiteral("rejected.wav"));
    if (!QFileInfo::exists(path)) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(MakeWave(Frequency(tone), Duration(tone))) < 0)
            return {};
    }
    return path;
}

QByteArray CToneService::MakeWave(int hz, int ms, int sampleRate)
{
    const quint32 samples = quint32(qint64(sampleRate) * ms / 1000);
    const quint32 dataBytes = samples * 2;
    QByteArray wave;
    wave.reserve(int(44 + dataBytes));
    wave.append("RIFF", 4);
    AppendLE32(wave, 36 + dataBytes);
    wave.append("WAVEfmt ", 8);
    AppendLE32(wave, 16); // format chunk size
    AppendLE16(wave, 1);  // PCM
    AppendLE16(wave, 1);  // mono
    AppendLE32(wave, quint32(sampleRate));
    AppendLE32(wave, quint32(sampleRate) * 2);
    AppendLE16(wave, 2);  // block align
    AppendLE16(wave, 16); // bits per sample
    wave.append("data", 4);
    AppendLE32(wave, dataBytes);
    const double step = 2.0 * M_PI * hz / sampleRate;
    for (quint32 i = 0; i < samples; ++i)
        AppendLE16(wave, quint16(qint16(std::lround(12000.0 * std::sin(step * i)))));
    return wave;
}
