#include "ui/app/music_player.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstring>

namespace densilo::app {

namespace {

// A stream buffer may hold at most 64 KB; the tune's records are 12 bytes each (short events
// only), so buffers are cut at a whole number of records.
constexpr std::size_t kEventSize = 3 * sizeof(DWORD);
constexpr std::size_t kMaxBuffer = 65536 / kEventSize * kEventSize;

// Marks the buffer whose return means the tune has ended.
constexpr DWORD_PTR kLastBuffer = 1;

HMIDIOUT as_out(HMIDISTRM stream) {
  return reinterpret_cast<HMIDIOUT>(stream);
}

}  // namespace

// Lives apart from the port so it can be left behind for a driver that never hands the
// buffers back: after that the port is gone, the driver may still call.
struct StreamMidiPort::Shared {
  HWND notify = nullptr;
  HANDLE all_returned = nullptr;  // manual-reset event, set when no buffer is queued
  volatile LONG queued = 0;

  // Runs on the driver's thread: only the calls a MIDI callback is allowed to make.
  static void CALLBACK callback(HMIDIOUT, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                                DWORD_PTR) {
    if (message != MOM_DONE) {
      return;
    }
    auto* self = reinterpret_cast<Shared*>(instance);
    const auto* header = reinterpret_cast<const MIDIHDR*>(param1);
    if (InterlockedDecrement(&self->queued) == 0) {
      SetEvent(self->all_returned);
    }
    if (header->dwUser == kLastBuffer) {
      PostMessageW(self->notify, kMusicEndedMessage, 0, 0);
    }
  }
};

StreamMidiPort::StreamMidiPort(HWND notify) : shared_(std::make_unique<Shared>()) {
  shared_->notify = notify;
}

StreamMidiPort::~StreamMidiPort() {
  close(MusicPlayer::kStopWait);
}

bool StreamMidiPort::open(std::uint32_t time_division, std::span<const std::byte> events) {
  if (shared_ == nullptr || stream_ != nullptr || events.empty() ||
      events.size() % kEventSize != 0) {
    return false;
  }
  shared_->all_returned = CreateEventW(nullptr, TRUE, TRUE, nullptr);
  if (shared_->all_returned == nullptr) {
    return false;
  }
  UINT device = MIDI_MAPPER;
  if (midiStreamOpen(&stream_, &device, 1, reinterpret_cast<DWORD_PTR>(&Shared::callback),
                     reinterpret_cast<DWORD_PTR>(shared_.get()),
                     CALLBACK_FUNCTION) != MMSYSERR_NOERROR) {
    stream_ = nullptr;
    return false;
  }
  MIDIPROPTIMEDIV division{sizeof(MIDIPROPTIMEDIV), time_division};
  if (midiStreamProperty(stream_, reinterpret_cast<LPBYTE>(&division),
                         MIDIPROP_SET | MIDIPROP_TIMEDIV) != MMSYSERR_NOERROR) {
    close(MusicPlayer::kStopWait);
    return false;
  }

  events_.assign(events.begin(), events.end());
  // Prepared headers must not move, so the vector gets its final size before any is prepared.
  headers_.resize((events_.size() + kMaxBuffer - 1) / kMaxBuffer);
  for (std::size_t i = 0; i < headers_.size(); ++i) {
    MIDIHDR& header = headers_[i];
    header = MIDIHDR{};
    const std::size_t offset = i * kMaxBuffer;
    const std::size_t length = std::min(kMaxBuffer, events_.size() - offset);
    header.lpData = reinterpret_cast<LPSTR>(events_.data() + offset);
    header.dwBufferLength = static_cast<DWORD>(length);
    header.dwBytesRecorded = static_cast<DWORD>(length);
    header.dwUser = i + 1 == headers_.size() ? kLastBuffer : 0;
    if (midiOutPrepareHeader(as_out(stream_), &header, sizeof(MIDIHDR)) != MMSYSERR_NOERROR) {
      headers_.resize(i);
      close(MusicPlayer::kStopWait);
      return false;
    }
  }
  return true;
}

bool StreamMidiPort::play() {
  if (stream_ == nullptr) {
    return false;
  }
  ResetEvent(shared_->all_returned);
  for (MIDIHDR& header : headers_) {
    InterlockedIncrement(&shared_->queued);
    if (midiStreamOut(stream_, &header, sizeof(MIDIHDR)) != MMSYSERR_NOERROR) {
      if (InterlockedDecrement(&shared_->queued) == 0) {
        SetEvent(shared_->all_returned);
      }
      return false;
    }
  }
  // Opening leaves the stream paused; once running, restarting it changes nothing.
  return midiStreamRestart(stream_) == MMSYSERR_NOERROR;
}

void StreamMidiPort::silence() {
  if (stream_ == nullptr) {
    return;
  }
  constexpr DWORD kControlChange = 0xB0;
  constexpr DWORD kAllSoundOff = 120;
  constexpr DWORD kAllNotesOff = 123;
  for (DWORD channel = 0; channel < 16; ++channel) {
    midiOutShortMsg(as_out(stream_), kControlChange | channel | kAllSoundOff << 8);
    midiOutShortMsg(as_out(stream_), kControlChange | channel | kAllNotesOff << 8);
  }
}

void StreamMidiPort::close(std::chrono::milliseconds wait) {
  if (stream_ != nullptr) {
    midiStreamStop(stream_);
    // Reset hands every queued buffer back (and silences what the stop left sounding).
    midiOutReset(as_out(stream_));
    const bool returned = WaitForSingleObject(shared_->all_returned,
                                              static_cast<DWORD>(wait.count())) == WAIT_OBJECT_0;
    if (returned) {
      for (MIDIHDR& header : headers_) {
        midiOutUnprepareHeader(as_out(stream_), &header, sizeof(MIDIHDR));
      }
    } else {
      // The driver still holds buffers it may read and a callback it may call: leave them to
      // it rather than free memory under its feet. The process is ending anyway.
      new std::vector<std::byte>(std::move(events_));
      new std::vector<MIDIHDR>(std::move(headers_));
      static_cast<void>(shared_.release());
    }
    midiStreamClose(stream_);
    stream_ = nullptr;
  }
  headers_.clear();
  events_.clear();
  if (shared_ != nullptr && shared_->all_returned != nullptr) {
    CloseHandle(shared_->all_returned);
    shared_->all_returned = nullptr;
  }
}

bool MusicPlayer::start(std::uint32_t time_division, std::span<const std::byte> events) {
  stop();
  if (!port_->open(time_division, events)) {
    return false;
  }
  if (!port_->play()) {
    port_->close(kStopWait);
    return false;
  }
  playing_ = true;
  return true;
}

void MusicPlayer::on_tune_ended() {
  // An end that was already on its way when the music stopped is not a reason to play again.
  if (!playing_) {
    return;
  }
  port_->silence();
  if (!port_->play()) {
    stop();
  }
}

void MusicPlayer::stop() {
  if (!playing_) {
    return;
  }
  playing_ = false;
  port_->silence();
  port_->close(kStopWait);
}

}  // namespace densilo::app
