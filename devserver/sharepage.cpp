// GET /xweb/sharefile2/?fileId=ID&v=2 is the page. Its script asks the host
// for the user through window.external.GetUserInfo() (an object literal
// {0:["name"],1:["token"],2:["userId"]}), lists the sharers from
// GET /xweb/sharefile2/sharers?token=..&fileId=.. and changes one with
// POST /xweb/sharefile2/set (token, fileId, email, right = read|write|none).
#include "devserver/sharepage.h"

#include "devserver/accounts.h"
#include "devserver/itemtree.h"
#include "devserver/sharing.h"
#include "devserver/xmlreply.h"

namespace devserver {

namespace {

const char kPage[] = R"HTML(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>共享设置</title>
<style>
body{font-family:sans-serif;font-size:13px;margin:12px}
table{border-collapse:collapse;width:100%}td,th{border-bottom:1px solid #ddd;padding:4px;text-align:left}
#error{color:#b00}
</style></head>
<body>
<h3 id="title">共享设置</h3>
<table><thead><tr><th>共享给</th><th>权限</th><th></th></tr></thead><tbody id="sharers"></tbody></table>
<p>
<input id="email" type="email" placeholder="e-mail">
<label><input type="radio" name="right" value="read" checked>只读</label>
<label><input type="radio" name="right" value="write">可写</label>
<button id="add">添加</button>
</p>
<p id="error"></p>
<p><button id="close">关闭</button></p>
<script>
var params = new URLSearchParams(location.search);
var fileId = params.get('fileId') || '';
var user = {name: '', token: '', id: ''};
function readUser() {
  try {
    var text = window.external.GetUserInfo();
    var info = (new Function('return (' + text + ');'))();
    user = {name: info[0][0], token: info[1][0], id: info[2][0]};
  } catch (e) {
    document.getElementById('error').textContent = 'no user information';
  }
}
function value(node, name) {
  var e = node.getElementsByTagName(name)[0];
  return e ? e.textContent : '';
}
function call(method, path, body) {
  var init = {method: method};
  if (body) {
    init.body = new URLSearchParams(body);
  }
  return fetch(path, init).then(function (r) { return r.text(); }).then(function (text) {
    var doc = new DOMParser().parseFromString(text, 'text/xml');
    var result = value(doc.documentElement, 'result');
    if (result !== 'ok') {
      throw new Error(result || 'serverError');
    }
    return doc;
  });
}
function setRight(email, right) {
  return call('POST', '/xweb/sharefile2/set', {token: user.token, fileId: fileId, email: email, right: right})
      .then(load).catch(function (e) { document.getElementById('error').textContent = e.message; });
}
function load() {
  var q = new URLSearchParams({token: user.token, fileId: fileId});
  return call('GET', '/xweb/sharefile2/sharers?' + q.toString()).then(function (doc) {
    document.getElementById('title').textContent = '共享设置：' + value(doc.documentElement, 'name');
    var body = document.getElementById('sharers');
    body.innerHTML = '';
    var items = doc.getElementsByTagName('sharer');
    for (var i = 0; i < items.length; i++) {
      var email = value(items[i], 'email');
      var row = document.createElement('tr');
      var who = document.createElement('td');
      who.textContent = value(items[i], 'nickName') + ' (' + email + ')';
      var right = document.createElement('td');
      right.textContent = value(items[i], 'right').indexOf('write') >= 0 ? '可写' : '只读';
      var action = document.createElement('td');
      var remove = document.createElement('button');
      remove.textContent = '移除';
      remove.onclick = (function (e) { return function () { setRight(e, 'none'); }; })(email);
      action.appendChild(remove);
      row.appendChild(who); row.appendChild(right); row.appendChild(action);
      body.appendChild(row);
    }
    document.getElementById('error').textContent = '';
  }).catch(function (e) { document.getElementById('error').textContent = e.message; });
}
document.getElementById('add').onclick = function () {
  var right = document.querySelector('input[name=right]:checked').value;
  setRight(document.getElementById('email').value.trim(), right);
};
document.getElementById('close').onclick = function () { window.external.CloseWizard(); };
readUser();
load();
</script>
</body></html>
)HTML";

void Reply(httplib::Response& res, const std::string& text) {
    res.set_content(text, kXmlType);
}

// The caller's own live item, else a result name.
std::string OwnedItem(Db& db, const httplib::Request& req, Item* item, std::string* userId) {
    std::string device;
    std::string failure = CheckToken(db, req.get_param_value("token"), userId, &device);
    if (!failure.empty()) {
        return failure;
    }
    int rights = ItemRightsFor(db, *userId, req.get_param_value("fileId"), item);
    if (rights < 0) {
        return "targetNotExist";
    }
    return rights == kRightOwner ? "" : "permissionDenied";
}

void ListSharers(Service& service, const httplib::Request& req, httplib::Response& res) {
    Reply(res, service.store.Run([&](Db& db) {
        Item item;
        std::string userId;
        std::string failure = OwnedItem(db, req, &item, &userId);
        if (!failure.empty()) {
            return XmlReply(failure).Text();
        }
        XmlReply reply;
        reply.Value("name", item.name);
        for (const ShareEntry& e : SharesOf(db, item.id)) {
            reply.BeginChild("sharer")
                .Value("nickName", e.nick)
                .Value("userId", e.userId)
                .Value("email", e.email)
                .Value("right", RightsText(e.rights))
                .EndChild();
        }
        return reply.Text();
    }));
}

void SetSharer(Service& service, const httplib::Request& req, httplib::Response& res) {
    std::string right = req.get_param_value("right");
    int rights = right == "read" ? 1 : right == "write" ? 3 : right == "none" ? 0 : -1;
    if (rights < 0) {
        Reply(res, XmlReply("clientBadParams").Text());
        return;
    }
    Reply(res, service.store.Run([&](Db& db) {
        Item item;
        std::string userId;
        std::string failure = OwnedItem(db, req, &item, &userId);
        if (!failure.empty()) {
            return XmlReply(failure).Text();
        }
        User sharer;
        if (!FindUserByName(db, req.get_param_value("email"), &sharer)) {
            return XmlReply("targetNotExist").Text();
        }
        if (sharer.id == userId) {
            return XmlReply("clientBadParams").Text();
        }
        SetShare(db, item.id, sharer.id, rights, "");
        return XmlReply().Text();
    }));
    service.push.Notify();
}

}  // namespace

void AddSharePageRoutes(Service& service, const RouteAdder& add) {
    add("GET", "/xweb/sharefile2/?", [](const httplib::Request&, httplib::Response& res, bool) {
        res.set_content(kPage, "text/html; charset=utf-8");
    });
    add("GET", "/xweb/sharefile2/sharers",
        [&service](const httplib::Request& req, httplib::Response& res, bool) {
            ListSharers(service, req, res);
        });
    add("POST", "/xweb/sharefile2/set",
        [&service](const httplib::Request& req, httplib::Response& res, bool) {
            SetSharer(service, req, res);
        });
}

}  // namespace devserver
