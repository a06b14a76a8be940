// Where the TORVA10 downloader's frames go and its answers come from. The port object's
// link opens the line without flow control (the printer's boot code does no handshake,
// whatever the connection dialog chose), collects answers through the receive watch thread
// and signals them to whoever waits. A test stands in for a printer the port object cannot
// reach (a parallel port).
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace torva {

class CPorts;

// How frames are paced: after each answer of the printer, or back to back with a pause.
enum class LegacyPacing { Answered, BackToBack };

class ILegacyLink {
 public:
  virtual ~ILegacyLink() = default;
  virtual LegacyPacing Pacing() const = 0;
  // Opens the connection; false when it cannot be opened.
  virtual bool Open() = 0;
  // Whether answers can be collected (the serial watch thread runs); only asked for an
  // answered link after a successful Open.
  virtual bool Receiving() const = 0;
  // True when every byte was written.
  virtual bool Write(const uint8_t* data, int length) = 0;
  // The answer bytes received so far (as many as were queued when asked).
  virtual std::vector<uint8_t> TakeAnswers() = 0;
  // Waits at most timeoutMs for answer bytes; true when some are waiting.
  virtual bool AwaitAnswers(int timeoutMs) = 0;
  virtual void Close() = 0;
};

class CLegacyPortLink final : public ILegacyLink {
 public:
  // onAnswer, when given, is called on the watch thread after answers were queued (after
  // AwaitAnswers was woken); it must not wait for the thread that closes the link.
  explicit CLegacyPortLink(CPorts& port, std::function<void()> onAnswer = {});
  ~CLegacyPortLink() override;
  CLegacyPortLink(const CLegacyPortLink&) = delete;
  CLegacyPortLink& operator=(const CLegacyPortLink&) = delete;

  // Parallel ports and output files never answer: their frames go back to back.
  LegacyPacing Pacing() const override;
  bool Open() override;
  bool Receiving() const override;
  bool Write(const uint8_t* data, int length) override;
  std::vector<uint8_t> TakeAnswers() override;
  bool AwaitAnswers(int timeoutMs) override;
  // Closes the port if it is still connected and waits for its watch thread to end.
  void Close() override;

 private:
  void Notify();

  CPorts& m_port;
  std::function<void()> m_fnOnAnswer;
  std::mutex m_mutex;
  std::condition_variable m_cv;
  bool m_bSignalled = false;
  bool m_bOpened = false;
};

}  // namespace torva
