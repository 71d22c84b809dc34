// CCalendarFile: one calendar, an event file ("*.akv") over one engine
// file set, with the calendar's own properties from its CALINFO record.
// It creates and opens event files, loads their events into the event
// array, adds, rewrites and deletes event records, and keeps the loaded
// events in step with other processes writing the same file: every record
// carries a change serial (index 2), and before each write the calendar
// reads every record above the last serial it has seen and merges it.
//
// Results: 1 success, 0 failure (the user has been told) unless stated.
// The writes answer one of the kWrite... results below.
// Engine errors are shown through ReportFileError. User-interface thread
// only.
//
// Change serials are taken and written under one lock shared by every
// process that has the file open (SerialSection), so each is unique and
// they reach index 2 in increasing order.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "model/events/field_buffer.h"

class CCalEvent;
class CEventArray;
class SerialSection;
struct EventRecordHeader;

namespace platform {
class WriteCombiningScope;
}
namespace isam {
class CalendarFileSet;
struct MendReport;
}

class CCalendarFile : public CFieldBuffer {
 public:
  // Open states.
  static constexpr int kClosed = 0;
  static constexpr int kOpen = 1;
  static constexpr int kPreview = 3;
  // File types.
  static constexpr int kOrdinaryFile = 0;
  static constexpr int kMemoryOnly = 2;  // an iCalendar file opened as a calendar

  // What a write did. Declined: the user chose to keep another user's
  // change; nothing was written and the event is neither saved nor
  // deleted. Unlock failed: the record is in the file (memory follows
  // it) but the file's lock could not be released; the engine's error
  // has been reported.
  static constexpr int kWriteFailed = 0;
  static constexpr int kWriteSaved = 1;
  static constexpr int kWriteDeclined = 2;
  static constexpr int kWriteUnlockFailed = 3;

  CCalendarFile();
  ~CCalendarFile() override;

  // ---- Properties (CALINFO and the calendar's state).
  // UIDs of this calendar's events, built before a refresh
  // (BuildUidMap); refreshed events take their entries out.
  std::map<std::string, std::string> uidMap;
  std::string deletingUid;  // while the publish after a delete runs
  uint8_t previewFlag = 0;
  int openState = kOpen;
  float version = 4.0f;
  int fileType = kOrdinaryFile;
  std::string timeZone;
  std::string relCalId;
  std::string name;
  std::string address;
  std::string alternateAddress;
  uint8_t addressOrder = 0;  // CALINFO byte 21, kept as read
  uint8_t nameFromPath = 0;  // CALINFO byte 23: the name was made from the path
  std::string userName;
  std::string password;
  // The login an address carried (calendar_address.h), held in memory only
  // and offered by the login box while the calendar has no user name.
  std::string offeredUser;
  std::string offeredPassword;
  uint8_t subscribed = 0;
  uint8_t published = 0;
  uint8_t refreshAtStartup = 0;
  uint8_t publishAfterSave = 0;
  uint8_t publishAlarms = 0;
  uint8_t rememberPassword = 1;
  // This installation's proof of the publish address (CALINFO, after the
  // seven strings; actionguard::PublishProven), kept as read; and, memory
  // only, the user's No to publishing there.
  std::string publishProof;
  uint8_t publishDeclined = 0;
  // Set while a refresh with results runs: an automatic publish of this
  // calendar started meanwhile does nothing.
  uint8_t refreshRunning = 0;
  // Memory only: when non-zero the alarm check skips this calendar.
  int32_t alarmsOff = 0;
  // When set, every event loaded or added goes to that calendar instead.
  CCalendarFile* importTarget = nullptr;
  int listId = 0;
  // Highest change serial read or written.
  uint32_t lastChangeSerial = 0;
  std::string path;
  int16_t dataFile = -1;
  int16_t hostFile = -1;

  // Open state 1, file type 0, and not a subscription unless published.
  bool IsWritable() const;
  // Open state 1 and not held in memory only: the calendar can be offered
  // for new events (the chooser, the editor, the add operations).
  bool CanReceiveNewEvents() const;

  // ---- Files.
  // A new event file at the path (any file there is deleted first) with
  // VERSION 4.0, FILETYPE and CALINFO, left open.
  int CreateFile(const std::string& path, int type = kOrdinaryFile);
  // Opens the file and, in state 1 or 3, appends all its events, then asks
  // about the actions in it this installation has not proven
  // (AskAboutUnprovenActions; a file this start adopts is proven without
  // a question). An import (importTarget set) asks about the target.
  // Filling a new file: between HoldAlone and ShareAgain (or CommitFilled)
  // this process holds the file exclusively, so adds take no locks and
  // skip the serial section (nobody else can write), and the engine's
  // writes gather in memory (platform/write_combining.h) until the end
  // (unless `gather` is false: each goes to the file at once).
  // HoldAlone: 1 when the file is now held alone; 0 when another opener
  // has it (it stays open shared and adds work as before) or it could not
  // be reopened (reported; closed).
  // ShareAgain: writes the file out and opens it shared again (1; 0
  // reported, the file closed); 1 at once when the file is not held alone.
  // An ordered gathering (write_combining.h) keeps the flushes in place.
  int HoldAlone(bool gather = true, bool ordered = false);
  int ShareAgain();
  // Batches: between BeginBatch and EndBatch (they nest; the outermost
  // pair counts) the calendar's adds, rewrites and tombstones form one
  // batch. Its rewrites write their new forms and flush once, at the end,
  // before any key names them (the engine's write batch), so a crash
  // leaves what a crash between single writes leaves, and a write is only
  // on the disk for sure once the batch has ended. The batch holds the file
  // for its length: alone when nobody else has it open (HoldAlone without
  // gathering), else shared inside the serial section, which is then held
  // from the first write to the end (each write still takes its own record
  // locks). Nobody else can write meanwhile, so the records others wrote are
  // read once, at the first write. EndBatch: 1; 0 when the end failed
  // (reported): a rewrite since the last flush kept its old form in the
  // file. Nothing happens for a calendar that is not an open ordinary file.
  int BeginBatch();
  int EndBatch();
  // The batch of a calendar for the life of a scope (null: none).
  class BatchScope {
   public:
    explicit BatchScope(CCalendarFile* calendar) : calendar_(calendar) {
      if (calendar_) calendar_->BeginBatch();
    }
    ~BatchScope() {
      if (calendar_) calendar_->EndBatch();
    }
    BatchScope(const BatchScope&) = delete;
    BatchScope& operator=(const BatchScope&) = delete;

   private:
    CCalendarFile* calendar_;
  };

  // Ends the filling of a file made by CreateFile under a staging name:
  // writes it out and flushes it, closes it, puts it in place of
  // `finalPath` (a file there is replaced in one step) and opens it
  // shared under that name. 1 on success. 0 when a step failed (reported;
  // "File Error Number 49" when the write-out failed, "Error. Could not
  // create file." when the replace did): the staged file is deleted, a
  // file at finalPath is left as it was, and this calendar has no file
  // open. The events already added are the caller's to drop.
  int CommitFilled(const std::string& finalPath);
  bool IsHeldAlone() const { return heldAlone_; }
  int Open(CEventArray* events, const std::string& path);
  int OpenFile(CEventArray* events, const std::string& path);
  // Takes this calendar's events out of the array (freeing them) and closes
  // the file; the engine's result is reported.
  int Close(CEventArray* events);
  int LoadAllEvents(CEventArray* events);

  // ---- Events.
  // Writes a new event (or rewrites the stored record of its UID; a stored
  // record of another UID sharing its first 200 bytes refuses the add) and
  // appends it to the array unless told not to (a move keeps the event
  // where it is). Records other processes wrote meanwhile are merged into
  // the array either way. kWriteFailed (0) and nothing appended on
  // failure; kWriteSaved; kWriteUnlockFailed: written and appended, the
  // lock error reported. An armed event takes this installation's mark.
  int AddEvent(CCalEvent* event, int publishArg, CEventArray* events, bool appendToArray = true);
  // Rewrites / tombstones the stored record: kWriteSaved;
  // kWriteDeclined when the user answered No to overwriting another
  // user's change (or to adding back a record deleted elsewhere): nothing
  // written; kWriteUnlockFailed: written, the lock error reported;
  // kWriteFailed (0): the event's LAST-MODIFIED, sequence and serial are as
  // before.
  int UpdateEvent(CCalEvent* event, CEventArray* events, int incrementSequence, int publishArg,
                  int stampDtStamp);
  int DeleteEvent(CCalEvent* event, CEventArray* events, int publishArg);
  // Reads the records other processes wrote since the last serial seen
  // and merges them; the record of `excluded`'s UID is left for later.
  void ReadChangedEvents(CEventArray* events, const CCalEvent* excluded = nullptr);
  // Merges one record read from the file (the event is new; kind 0 live,
  // 1 deleted).
  void MergeChangedEvent(CEventArray* events, CCalEvent* event, uint8_t kind);
  // 0 no event of the UID is held (within this calendar only when asked);
  // 1 the held one was older and took the new fields (saved); 2 it is as
  // new or newer.
  int UpdateFromNewer(CEventArray* events, CCalEvent* event, bool withinThisCalendar);
  void BuildUidMap(const CEventArray* events);
  // Whether the file's record of that UID is a tombstone (the event was
  // deleted or moved away); false without one or without an open file.
  bool HoldsTombstone(const std::string& uid);

  // ---- Resources.
  int WriteVersion(float value);
  int WriteFileType(int value);
  int WriteCalInfo();

  // ---- Seams the later steps fill.
  // An ".ics" file opened as a calendar is held in memory (file type 2)
  // and read through the iCalendar reader; the rest of a local
  // subscription comes with the Internet calendars.
  int SubscribeLocalFile(CEventArray* events);
  // The reader of ".ics" files, installed by the iCalendar converter
  // (storage/ical) at start-up: it imports the file at `path` into the
  // calendar, and answers false when the file could not be read (the user
  // has been told).
  using ICalFileReader = bool (*)(CCalendarFile& calendar, CEventArray* events, const std::string& path,
                                  bool refresh, int* added, int* updated);
  static void SetICalFileReader(ICalFileReader reader);
  // Republishes a calendar that publishes its changes after a save, when
  // publishArg is non-zero, through the publisher the sharing layer
  // installs (storage/sharing); without one nothing happens.
  using AutoPublisher = void (*)(CCalendarFile& calendar, int publishArg);
  static void SetAutoPublisher(AutoPublisher publisher);
  void AutoPublish(int publishArg);
  int ConvertOldEventFiles(CEventArray* events, bool reportMissing);
  int OpenOldEventFile(CEventArray* events, const std::string& path);

  // The engine's lock-mode call the writes use (null: the engine's own);
  // tests put one in that fails.
  using LockModeSetter = int (*)(int16_t mode);
  static void SetLockModeSetter(LockModeSetter setter);

  bool PromptLogin();
  // Sets the address without a login written in it; that login becomes
  // the one the login box offers.
  void SetAddress(const std::string& text);
  // One question (IStoragePrompts::AskArmActions) about this calendar's
  // events whose run or mail actions are armed but not proven here, and
  // its publish address when unproven (actionguard). Yes proves them and
  // rewrites them (and CALINFO) when the file is writable, else in memory;
  // No holds them off in memory only. Nothing to ask: nothing happens.
  void AskAboutUnprovenActions(CEventArray* events);
  static void ReportFileError(int code);

  // Whether the file is open in the engine.
  bool IsFileOpen() const { return dataFile >= 0; }

 private:
  int SaveEventChecked(CCalEvent* event, CEventArray* events, int incrementSequence, uint8_t kind,
                       int publishArg, int stampDtStamp);
  // The record of the event's UID into the buffer under lock mode 2; the
  // whole UID is compared. 0, or the engine code (-1 for another UID).
  int ReadStoredRecord(const std::string& uid, std::vector<uint8_t>* record);
  // Builds the event's record in the buffer (applying the version rule).
  bool BuildRecord(const CCalEvent& event, uint8_t kind);
  void ReadResources();
  void CloseEngineFiles(bool report);
  int OpenEngineFiles(const std::string& fullPath, bool* notEngineFile, bool alone = false);
  // After an open that mended the file after a crash and set records
  // aside: tells the user which calendar, what was kept and what was lost
  // (calendar_file_mend.cpp).
  void TellWhatTheMendDid();
  // After an open the engine refused as damaged (690): offers the last
  // backup or a rebuild from the records, and opens the file again after
  // either. OpenFile's result (0 when left closed; the user has been told).
  int OfferToBringBack(CEventArray* events, const std::string& path);
  // A new calendar file at `path` holding every record still whole in the
  // damaged one, which is renamed `damagedCopy` first: 1 with *kept the
  // records, or 0 (the user has been told).
  int RebuildFromRecords(const std::string& path, const std::string& damagedCopy, int* kept);
  void RaiseSerial(uint32_t serial);
  // Reads from index 2 at `from`, merging; returns the highest serial met.
  uint32_t WalkChanged(CEventArray* events, uint32_t from, const CCalEvent* excluded);
  CCalEvent* DecodeRecord(const uint8_t* data, size_t size, EventRecordHeader* header);

  // Before a write inside a batch: the records others wrote are read (once
  // a batch); a second write of one UID first finishes the batch's pending
  // rewrites, so that its stored record is read as it now is.
  void PrepareWrite(CEventArray* events, const CCalEvent* excluded);
  void NoteBatchedUid(const std::string& uid);
  // Closes a file being filled, its writes out and flushed first: 0 or the
  // first error.
  int CloseFilledFile();
  // Opens the file at `path` shared with its serial section: 1, or 0 with
  // the failure reported and the file closed.
  int OpenShared();
  std::unique_ptr<isam::CalendarFileSet> fileSet_;
  std::unique_ptr<SerialSection> serialSection_;
  // Live while the file is held alone (HoldAlone).
  std::unique_ptr<platform::WriteCombiningScope> combining_;
  // Highest serial met in the file, the records left for later included.
  uint32_t highestSeen_ = 0;
  bool heldAlone_ = false;
  std::vector<uint8_t> readBuffer_;
  // What the engine's open last did after a crash (null: nothing to tell).
  std::unique_ptr<isam::MendReport> mendReport_;
  // An OfferToBringBack is under way: a second refusal is only reported.
  bool bringingBack_ = false;
  // The batch (BeginBatch): its depth, whether it took the file alone or
  // entered the serial section, whether the others' records were read, the
  // UIDs written since its pending rewrites were last finished.
  int batchDepth_ = 0;
  bool batchHeld_ = false;
  bool batchEntered_ = false;
  bool batchEngine_ = false;
  bool batchSynced_ = false;
  std::unordered_set<std::string> batchUids_;
};
