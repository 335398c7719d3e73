// A multipart/form-data body: text fields and files, in the order added.
// File content is read when the file is added, so the file may be deleted
// afterwards (the engine deletes a temporary archive right after adding it).
#pragma once

#include <string>
#include <vector>

namespace svnet {

class Form {
 public:
  Form();
  void AddField(const std::string& name, const std::string& value);
  // False when the file cannot be read; the form is then unchanged.
  bool AddFile(const std::string& field, const std::string& path);
  void AddFileContent(const std::string& field, const std::string& fileName, std::string content);
  const std::string& Boundary() const { return boundary_; }
  std::string ContentType() const { return "multipart/form-data; boundary=" + boundary_; }
  std::string Body() const;

 private:
  struct Part {
    std::string name, fileName, content;
    bool isFile;
  };
  std::string boundary_;
  std::vector<Part> parts_;
};

}  // namespace svnet
