#pragma once
// A one-request-at-a-time HTTP server on 127.0.0.1 for the upload tests: it keeps what it
// received and answers with the status and text it was given.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <atomic>
#include <string>
#include <thread>

class LocalHttpServer {
 public:
  LocalHttpServer(int status, std::string answer) : status_(status), answer_(std::move(answer)) {
    WSADATA wsa;
    ::WSAStartup(MAKEWORD(2, 2), &wsa);
    listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // port 0: any free one
    int length = sizeof at;
    ::bind(listener_, reinterpret_cast<sockaddr*>(&at), length);
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&at), &length);
    port_ = ntohs(at.sin_port);
    ::listen(listener_, 1);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LocalHttpServer() {
    ::closesocket(listener_);
    if (thread_.joinable()) thread_.join();
    ::WSACleanup();
  }

  std::wstring Address(const std::wstring& path) const { return L"http://127.0.0.1:" + std::to_wstring(port_) + path; }
  // The request as received: the head (request line and headers) and the body.
  const std::string& Head() const { return head_; }
  const std::string& Body() const { return body_; }
  int Requests() const { return requests_; }

 private:
  void Serve() {
    for (SOCKET s; (s = ::accept(listener_, nullptr, nullptr)) != INVALID_SOCKET; ::closesocket(s)) {
      std::string data;
      char buffer[65536];
      size_t headEnd = std::string::npos, length = 0;
      for (int n; headEnd == std::string::npos || data.size() < headEnd + 4 + length;) {
        if ((n = ::recv(s, buffer, sizeof buffer, 0)) <= 0) break;
        data.append(buffer, static_cast<size_t>(n));
        if (headEnd == std::string::npos && (headEnd = data.find("\r\n\r\n")) != std::string::npos) {
          const size_t at = data.find("Content-Length:");  // as WinHTTP writes it
          if (at < headEnd) length = std::stoul(data.substr(at + 15));
        }
      }
      if (headEnd != std::string::npos) head_ = data.substr(0, headEnd + 2), body_ = data.substr(headEnd + 4);
      ++requests_;
      const std::string reply = "HTTP/1.1 " + std::to_string(status_) + " Answer\r\nContent-Type: application/json" +
                                "\r\nContent-Length: " + std::to_string(answer_.size()) +
                                "\r\nConnection: close\r\n\r\n" + answer_;
      ::send(s, reply.data(), static_cast<int>(reply.size()), 0);
      ::shutdown(s, SD_BOTH);
    }
  }

  int status_, port_ = 0;
  std::string answer_, head_, body_;
  SOCKET listener_ = INVALID_SOCKET;
  std::thread thread_;
  std::atomic<int> requests_{0};
};
