#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// The short tones an entry field sounds when it is left (accepted) or kept
// (rejected). A generated wave goes to the system's sound player when there is
// one and an audio output; otherwise the program stays silent.
class CToneService final
{
public:
    enum class Tone { Accepted, Rejected };

    static void Play(Tone tone);
    static int Frequency(Tone tone); // Hz
    static int Duration(Tone tone);  // ms

    // While an observer is set it hears every tone instead of the speaker.
    using Observer = std::function<void(Tone)>;
    static void SetObserver(Observer observer);

    // A complete mono 16-bit PCM WAV file of a sine tone.
    static QByteArray MakeWave(int hz, int ms, int sampleRate = 22050);

private:
    // "aplay" or "paplay" with its path, or empty when nothing can sound.
    static QString FindPlayer();
    static QString WaveFile(Tone tone);
};
