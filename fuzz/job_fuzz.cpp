// Job file texts. The first input byte chooses whether the rest is taken as
// a whole file (its "Hash" line as given) or as a body that gets the right
// digest in front, so that the field reader behind the digest check is
// reached.
//
// Property: what is read, written and read again is written the same way.
#include <stddef.h>
#include <stdint.h>

#include "fuzz_support.h"
#include "job_text.h"

namespace {

// The writer keeps the fields of a request whose size is not 0 while the
// reader takes them only from a request of the real record size: such
// fields do not survive a write and read, by design.
const int32_t kRecordSize = svdnm::kStoredParamsSize;

void DropUnreadableFields(svdnm::Request* r) {
  if (r->size == 0 || r->size == kRecordSize) return;
  svdnm::Request cleared;
  cleared.size = r->size;
  *r = cleared;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool withDigest = data[0] & 1;
  const std::string_view rest((const char*)data + 1, size - 1);
  std::string text(rest);
  if (withDigest) text = "Hash\t" + svdnm::BodyDigest(rest) + "\n" + text;

  svdnm::JobRecord job;
  if (!svdnm::ParseJobText(text, job)) return 0;
  DropUnreadableFields(&job.download);
  DropUnreadableFields(&job.ps);
  const std::string written = svdnm::BuildJobText(job);
  svdnm::JobRecord again;
  FUZZ_CHECK(svdnm::ParseJobText(written, again));
  FUZZ_CHECK(written.compare(written.find('\n') + 1, std::string::npos, svdnm::BuildJobBody(again)) == 0);
  FUZZ_CHECK(again.files.size() == job.files.size());
  return 0;
}
