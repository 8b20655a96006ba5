// The web side: share page, registration, password reset, feedback, home and
// blog pages, the update service and the service-state reply.
#include <fstream>
#include <iterator>

#include "devserver/accounts.h"
#include "devserver/ids.h"
#include "devserver/itemtree.h"
#include "devserver/sharepage.h"
#include "devserver/xmlreply.h"

namespace devserver {

namespace {

std::string Page(const std::string& title, const std::string& body) {
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + XmlEscape(title) +
           "</title></head><body><h2>" + XmlEscape(title) + "</h2>" + body + "</body></html>";
}

void Html(httplib::Response& res, const std::string& title, const std::string& body) {
    res.set_content(Page(title, body), "text/html; charset=utf-8");
}

bool IsLoginName(const std::string& s) {
    if (s.empty() || s.size() > 32) {
        return false;
    }
    for (char c : s) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                  c == '_' || c == '-';
        if (!ok) {
            return false;
        }
    }
    return true;
}

// E-mails become virtual folder ids and SQL texts on the client: one "@", no quotes, blanks or backslashes.
bool IsEmail(const std::string& s) {
    if (s.size() < 3 || s.size() > 100 || s.find('@') == std::string::npos || s.find('@') != s.rfind('@')) {
        return false;
    }
    for (unsigned char c : s) {
        if (c <= 0x20 || c == '\'' || c == '"' || c == '\\' || c == '<' || c == '>' || c == '&' ||
            c >= 0x7F) {
            return false;
        }
    }
    return true;
}

const char kRegisterForm[] =
    "<form method=\"post\"><p>Log-in name <input name=\"login\"></p><p>E-mail <input name=\"email\"></p>"
    "<p>Nick name <input name=\"nick\"></p><p>Password <input name=\"password\" type=\"password\"></p>"
    "<p><button>Register</button></p></form>";
const char kResetForm[] =
    "<form method=\"post\"><p>E-mail <input name=\"email\"></p>"
    "<p>New password <input name=\"password\" type=\"password\"></p><p><button>Set "
    "password</button></p></form>";

void Register(Service& service, const httplib::Request& req, httplib::Response& res) {
    std::string login = req.get_param_value("login");
    std::string email = req.get_param_value("email");
    std::string nick = req.get_param_value("nick");
    std::string password = req.get_param_value("password");
    // The nick comes back in every listing's "modifier" and names the sharer folders of other accounts.
    if (!IsLoginName(login) || !IsEmail(email) || !IsValidName(nick) || nick.size() > 64 ||
        password.empty() || password.size() > 128) {
        Html(res, "Register",
             "<p>Please fill in every field (log-in name: letters, digits, . _ -).</p>" +
                 std::string(kRegisterForm));
        return;
    }
    bool created = service.store.Run([&](Db& db) {
        User existing;
        if (FindUserByName(db, login, &existing) || FindUserByName(db, email, &existing)) {
            return false;
        }
        CreateUser(db, login, password, email, nick);
        return true;
    });
    if (!created) {
        Html(res, "Register", "<p>That name or e-mail is taken.</p>" + std::string(kRegisterForm));
        return;
    }
    Html(res, "Register", "<p>Account " + XmlEscape(login) + " created. You can log in now.</p>");
}

void ResetPassword(Service& service, const httplib::Request& req, httplib::Response& res) {
    std::string email = req.get_param_value("email");
    std::string password = req.get_param_value("password");
    if (password.empty() || password.size() > 128) {
        Html(res, "Reset password", "<p>Please give a new password.</p>" + std::string(kResetForm));
        return;
    }
    bool done = service.store.Run([&](Db& db) {
        User user;
        if (!FindUserByName(db, email, &user)) {
            return false;
        }
        db.Exec("UPDATE users SET password = ? WHERE id = ?", {password, user.id});
        return true;
    });
    Html(res, "Reset password",
         done ? "<p>The password was changed.</p>"
              : "<p>No account has that e-mail.</p>" + std::string(kResetForm));
}

bool ReadFile(const std::string& path, std::string* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

}  // namespace

void AddPageRoutes(Service& service, const RouteAdder& add) {
    AddSharePageRoutes(service, add);
    add("GET", "/register/?",
        [](const httplib::Request&, httplib::Response& res, bool) { Html(res, "Register", kRegisterForm); });
    add("POST", "/register/?", [&service](const httplib::Request& req, httplib::Response& res, bool) {
        Register(service, req, res);
    });
    add("GET", "/resetpwd/?", [](const httplib::Request&, httplib::Response& res, bool) {
        Html(res, "Reset password", kResetForm);
    });
    add("POST", "/resetpwd/?", [&service](const httplib::Request& req, httplib::Response& res, bool) {
        ResetPassword(service, req, res);
    });
    add("GET", "/uep/client/?", [](const httplib::Request& req, httplib::Response& res, bool) {
        Html(res, "Feedback",
             "<p>Client " + XmlEscape(req.get_param_value("clienttype")) + " " +
                 XmlEscape(req.get_param_value("ver")) +
                 "</p><form method=\"post\"><textarea name=\"text\" rows=\"6\" cols=\"60\"></textarea>"
                 "<input type=\"hidden\" name=\"sid\" value=\"" +
                 XmlEscape(req.get_param_value("sid")) + "\"><p><button>Send</button></p></form>");
    });
    add("POST", "/uep/client/?", [](const httplib::Request&, httplib::Response& res, bool) {
        Html(res, "Feedback", "<p>Thank you for your feedback.</p>");
    });
    add("GET", "/home/?", [](const httplib::Request&, httplib::Response& res, bool) {
        Html(res, "Pellux", "<p>Your files, everywhere. This is the local service emulator.</p>");
    });
    add("GET", "/blog/?", [](const httplib::Request&, httplib::Response& res, bool) {
        Html(res, "Pellux blog", "<p>No news yet.</p>");
    });
    add("GET", "/", [](const httplib::Request&, httplib::Response& res, bool) {
        Html(res, "pellux-devserver",
             "<ul><li><a href=\"/home/\">home</a></li><li><a href=\"/blog/\">blog</a></li>"
             "<li><a href=\"/register/\">register</a></li><li><a href=\"/resetpwd/\">reset "
             "password</a></li></ul>");
    });
    // The update query: form text in, "key=value&..." out.
    add("POST", "/update/check/?", [&service](const httplib::Request& req, httplib::Response& res, bool) {
        if (service.options.updateOffer.empty()) {
            res.set_content("Code=NOUPDATE", "text/plain");
            return;
        }
        // The archive's digest lets the client check what it downloads.
        std::string bytes;
        std::string reply = "Code=OK&Path=" + service.BaseUrl(req) + "/update/files";
        if (ReadFile(service.options.updateOffer, &bytes))
            reply += "&Sha1=" + Sha1Hex(bytes);
        res.set_content(reply, "text/plain");
    });
    add("GET", "/update/files/pellux\\.exe\\.zip",
        [&service](const httplib::Request&, httplib::Response& res, bool) {
            std::string bytes;
            if (service.options.updateOffer.empty() || !ReadFile(service.options.updateOffer, &bytes)) {
                res.status = 404;
                return;
            }
            res.set_content(bytes, "application/zip");
        });
    add("GET", "/api_server/?", [](const httplib::Request&, httplib::Response& res, bool) {
        res.set_content(XmlReply("ok")
                            .Value("State", "normal")
                            .Value("Title", "")
                            .Value("Content", "")
                            .Value("URL", "")
                            .Text(),
                        kXmlType);
    });
}

}  // namespace devserver
