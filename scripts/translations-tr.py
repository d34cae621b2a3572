#!/usr/bin/env python3
"""Fills resources/translations/applywright_tr.ts with the Turkish texts below.

Run scripts/update-translations first (lupdate adds new source texts), then this
script; texts it does not know stay unfinished and show in English.
"""
import sys
import xml.etree.ElementTree as ET

TURKISH = {
    "&File": "&Dosya",
    "New Application": "Yeni Başvuru",
    "Save": "Kaydet",
    "Add from Screenshot…": "Ekran Görüntüsünden Ekle…",
    "Paste Job Posting": "İş İlanını Yapıştır",
    "Import…": "İçe Aktar…",
    "Export…": "Dışa Aktar…",
    "&Quit": "&Çık",
    "&Edit": "Dü&zen",
    "Delete Application…": "Başvuruyu Sil…",
    "&Undo": "&Geri Al",
    "&Redo": "&Yinele",
    "Cu&t": "&Kes",
    "&Copy": "K&opyala",
    "&Paste": "Ya&pıştır",
    "Select &All": "&Tümünü Seç",
    "Applications": "Başvurular",
    "Filter": "Filtre",
    "Filter and sort": "Filtrele ve sırala",
    "Add a new application (%1)": "Yeni başvuru ekle (%1)",
    "Status": "Durum",
    "Sort": "Sıralama",
    "Remove Star": "Yıldızı Kaldır",
    "Add Star": "Yıldız Ekle",
    "Open Posting": "İlanı Aç",
    "Delete": "Sil",
    "Follow-up": "Takip",
    "Applied": "Başvuruldu",
    "HR Interview": "İK Görüşmesi",
    "Tech Interview": "Teknik Mülakat",
    "Offer": "Teklif",
    "Rejected": "Reddedildi",
    "Applywright": "Applywright",
    "The file couldn't be read because it isn't in the correct format.":
        "Dosya doğru biçimde olmadığı için okunamadı.",
    "The data couldn't be written because it isn't in the correct format.":
        "Veriler doğru biçimde olmadığı için yazılamadı.",
    "This backup was made by a newer version of Applywright.":
        "Bu yedek, Applywright'ın daha yeni bir sürümüyle alınmış.",
    "This file is not an Applywright backup.": "Bu dosya bir Applywright yedeği değil.",
    "The file “%1” couldn't be opened.": "“%1” dosyası açılamadı.",
    "The file “%1” couldn't be opened because it isn't a regular file.":
        "“%1” normal bir dosya olmadığı için açılamadı.",
    "The file “%1” couldn't be opened because it is larger than 512 MB, too large for a backup.":
        "“%1” dosyası 512 MB'tan büyük olduğu için açılamadı; bir yedek için fazla büyük.",
    "The file “%1” couldn't be read.": "“%1” dosyası okunamadı.",
    "The file “%1” couldn't be saved.": "“%1” dosyası kaydedilemedi.",
    "Imported %1 applications, skipped %2 already present.":
        "%1 başvuru içe aktarıldı, zaten var olan %2 başvuru atlandı.",
    "Search company, position or notes": "Şirket, pozisyon veya notlarda ara",
    "Search": "Ara",
    "%1 — %2. This cannot be undone.": "%1 — %2. Bu işlem geri alınamaz.",
    "Delete this application?": "Bu başvuru silinsin mi?",
    "Cancel": "Vazgeç",
    "No Application Selected": "Seçili Başvuru Yok",
    "Select an application from the list to see its details.":
        "Ayrıntılarını görmek için listeden bir başvuru seçin.",
    "Add your first application to start tracking.": "Takibe başlamak için ilk başvurunuzu ekleyin.",
    "No results": "Sonuç yok",
    "No application matches your search or filter.": "Aramanıza veya filtrenize uyan başvuru yok.",
    "No applications yet": "Henüz başvuru yok",
    "No position specified": "Pozisyon belirtilmedi",
    "Clipboard": "Pano",
    "The clipboard has no job posting text or screenshot.":
        "Panoda iş ilanı metni ya da ekran görüntüsü yok.",
    "From address: ": "Adresten: ",
    "This file could not be read as an image.": "Bu dosya bir görüntü olarak okunamadı.",
    "No text was found in this screenshot.": "Bu ekran görüntüsünde metin bulunamadı.",
    "Text recognition could not start: its Turkish and English language data is missing.":
        "Metin tanıma başlatılamadı: Türkçe ve İngilizce dil verileri eksik.",
    "The text recognition engine could not read this image.": "Metin tanıma motoru bu görüntüyü okuyamadı.",
    "Moving forward with another candidate": "Başka bir adayla devam ediliyor",
    "Not enough experience": "Deneyim yetersiz",
    "Budget mismatch": "Bütçe uyuşmazlığı",
    "No relocation or visa sponsorship": "Taşınma ya da vize desteği yok",
    "Position closed": "Pozisyon kapandı",
    "Other": "Diğer",
    "Newest first": "En yeni önce",
    "Longest waiting": "En uzun bekleyen",
    "Company name (A-Z)": "Şirket adı (A-Z)",
    "By status": "Duruma göre",
    "All": "Tümü",
    "In Progress": "Devam Eden",
    "The applications could not be read": "Başvurular okunamadı",
    "The status history could not be read": "Durum geçmişi okunamadı",
    "The changes could not be saved": "Değişiklikler kaydedilemedi",
    "Database Could Not Be Opened": "Veritabanı Açılamadı",
    "Your applications are still on disk. Applywright could not open the database — this usually happens after an update that changed the data format.":
        "Başvurularınız hâlâ diskte. Applywright veritabanını açamadı — bu genellikle veri biçimini değiştiren bir güncellemeden sonra olur.",
    "Error message": "Hata iletisi",
    "Show Data Folder in Finder": "Veri Klasörünü Finder'da Göster",
    "Show Data Folder in File Manager": "Veri Klasörünü Dosya Yöneticisinde Göster",
    "The database file “%1” could not be read: %2.": "“%1” veritabanı dosyası okunamadı: %2.",
    "The file “%1” is not an Applywright database (it is not an SQLite file). It was left unchanged.":
        "“%1” dosyası bir Applywright veritabanı değil (SQLite dosyası değil). Dosyaya dokunulmadı.",
    "The database file “%1” could not be opened: %2.": "“%1” veritabanı dosyası açılamadı: %2.",
    "The file “%1” is an SQLite database of another program, not an Applywright database. It was left unchanged.":
        "“%1” başka bir programın SQLite veritabanı, Applywright veritabanı değil. Dosyaya dokunulmadı.",
    "The database file “%1” has no data format version and cannot be opened. It was left unchanged.":
        "“%1” veritabanı dosyasında veri biçimi sürümü yok, bu yüzden açılamıyor. Dosyaya dokunulmadı.",
    "The database file “%1” uses data format %2, but this version of Applywright reads format %3. It was left unchanged.":
        "“%1” veritabanı dosyası %2 veri biçimini kullanıyor, ancak Applywright'ın bu sürümü %3 biçimini okuyor. Dosyaya dokunulmadı.",
    "The database file “%1” cannot be written to, so changes could not be saved. It was left unchanged.":
        "“%1” veritabanı dosyasına yazılamıyor, bu yüzden değişiklikler kaydedilemez. Dosyaya dokunulmadı.",
    "The database file “%1” could not be created: %2.": "“%1” veritabanı dosyası oluşturulamadı: %2.",
    "Applywright is already running with the data folder “%1”, but its window could not be reached. Quit that copy, then start it again.":
        "Applywright “%1” veri klasörüyle zaten çalışıyor, ancak penceresine ulaşılamadı. O kopyadan çıkın, sonra yeniden başlatın.",
    "“%1” is not a folder, so it cannot hold the database.": "“%1” bir klasör değil, bu yüzden veritabanını barındıramaz.",
    "The disk is full: the data folder “%1” could not be created.": "Disk dolu: “%1” veri klasörü oluşturulamadı.",
    "The data folder “%1” could not be created: %2.": "“%1” veri klasörü oluşturulamadı: %2.",
    "The disk is full: nothing can be written to the data folder “%1”, so the database could not be opened safely.":
        "Disk dolu: “%1” veri klasörüne hiçbir şey yazılamıyor, bu yüzden veritabanı güvenle açılamadı.",
    "The data folder “%1” cannot be written to (%2), so the database could not be opened safely.":
        "“%1” veri klasörüne yazılamıyor (%2), bu yüzden veritabanı güvenle açılamadı.",
    "The database file “%1” is missing, but “%2” beside it is still there. Nothing was changed.":
        "“%1” veritabanı dosyası yok, ancak yanındaki “%2” hâlâ duruyor. Hiçbir şey değiştirilmedi.",
    "The database “%1” is a link to “%2”, which cannot be reached (%3). Is its disk connected? Nothing was changed.":
        "“%1” veritabanı, ulaşılamayan “%2” dosyasına bir bağlantı (%3). Diski bağlı mı? Hiçbir şey değiştirilmedi.",
    "“%1” is not a regular file (%2), so it cannot be the database. It was left unchanged.":
        "“%1” sıradan bir dosya değil (%2), bu yüzden veritabanı olamaz. Dokunulmadı.",
    "it cannot be examined": "incelenemiyor",
    "it is a folder": "bir klasör",
    "it is a named pipe": "adlandırılmış bir boru",
    "it is a socket": "bir soket",
    "it is a device": "bir aygıt",
    "The database file “%1” is empty, but “%2” beside it holds data. Both were left unchanged.":
        "“%1” veritabanı dosyası boş, ancak yanındaki “%2” veri içeriyor. İkisine de dokunulmadı.",
    "The database file “%1” is empty (0 bytes). It was left unchanged.":
        "“%1” veritabanı dosyası boş (0 bayt). Dosyaya dokunulmadı.",
    "The database file “%1” is damaged: its first bytes are zeroed. It was left unchanged.":
        "“%1” veritabanı dosyası hasarlı: ilk baytları sıfırlanmış. Dosyaya dokunulmadı.",
    "The database file “%1” is damaged: it is cut short. It was left unchanged.":
        "“%1” veritabanı dosyası hasarlı: kısa kesilmiş. Dosyaya dokunulmadı.",
    "“%1” beside the database is left from an interrupted change that cannot be undone safely. Move it out of the data folder, then start Applywright again. Nothing was changed.":
        "Veritabanının yanındaki “%1”, güvenle geri alınamayacak yarım kalmış bir değişiklikten kalmış. Onu veri klasörünün dışına taşıyın, sonra Applywright'ı yeniden başlatın. Hiçbir şey değiştirilmedi.",
    "The database file “%1” is damaged (%2). It was left unchanged.":
        "“%1” veritabanı dosyası hasarlı (%2). Dosyaya dokunulmadı.",
    "The disk is full: the database file “%1” could not be opened.": "Disk dolu: “%1” veritabanı dosyası açılamadı.",
    "The disk is full: the new database “%1” could not be created. Free some space, then start Applywright again.":
        "Disk dolu: yeni “%1” veritabanı oluşturulamadı. Biraz yer açın, sonra Applywright'ı yeniden başlatın.",
    "The database file “%1” is damaged: its integrity check reports “%2”. It was left unchanged.":
        "“%1” veritabanı dosyası hasarlı: bütünlük denetimi “%2” bildiriyor. Dosyaya dokunulmadı.",
    "Your changes could not be saved.": "Değişiklikleriniz kaydedilemedi.",
    "Try Again": "Yeniden Dene",
    "Quit Without Saving": "Kaydetmeden Çık",
    "This image needs more memory than text recognition may use.":
        "Bu görüntü, metin tanımanın kullanabileceğinden fazla bellek gerektiriyor.",
    "Text recognition could not start: its helper program “%1” could not be run (%2).":
        "Metin tanıma başlayamadı: yardımcı programı “%1” çalıştırılamadı (%2).",
    "Text recognition stopped unexpectedly while reading this image.":
        "Metin tanıma bu görüntüyü okurken beklenmedik biçimde durdu.",
    "Reading this image took too long, so it was stopped.": "Bu görüntüyü okumak çok uzun sürdü, bu yüzden durduruldu.",
    "Text recognition was stopped.": "Metin tanıma durduruldu.",
    "active": "aktif",
    "offers": "teklif",
    "stale": "sessiz",
    "Waiting %lld days": "%lld gündür bekliyor",
    "%lldd": "%lldg",
    "Still early — sit tight for now.": "Henüz erken — şimdilik bekleyin.",
    "A good time to send a follow-up email.": "Bir takip e-postası göndermek için iyi bir zaman.",
    "Two weeks of silence — consider following up.": "İki haftadır ses yok — takip etmeyi düşünün.",
    "Remote": "Uzaktan",
    "Hybrid": "Hibrit",
    "On-site": "İş yerinde",
    # The detail editor.
    "Application": "Başvuru",
    "e.g. Acme Technology": "ör. Acme Teknoloji",
    "e.g. iOS Developer": "ör. iOS Geliştirici",
    "https://…": "https://…",
    "Company": "Şirket",
    "Position": "Pozisyon",
    "Posting Link": "İlan Bağlantısı",
    "Work Model": "Çalışma Modeli",
    "Follow-up Reminder": "Takip Hatırlatıcısı",
    "Application Date": "Başvuru Tarihi",
    "Follow-up Date": "Takip Tarihi",
    "Open posting in browser": "İlanı tarayıcıda aç",
    "Enter a valid http(s) address": "Geçerli bir http(s) adresi girin",
    "Contacts": "Kişiler",
    "Full name": "Ad soyad",
    "jane.doe@acme.com": "ayse.yilmaz@acme.com.tr",
    "e.g. Engineering Manager": "ör. Mühendislik Müdürü",
    "HR Contact": "İK Kişisi",
    "HR Email": "İK E-postası",
    "Tech Interviewer": "Teknik Mülakatçı",
    "Role": "Rol",
    "Open in Mail": "E-posta ile aç",
    "Delete this application (%1)": "Bu başvuruyu sil (%1)",
    "Remove star": "Yıldızı kaldır",
    "Add star": "Yıldız ekle",
    "Closed in %lld days": "%lld günde kapandı",
    "Notes": "Notlar",
    "Interview prep, questions asked, impressions…": "Mülakat hazırlığı, sorulan sorular, izlenimler…",
    "By email": "E-postayla",
    "By phone": "Telefonla",
    "Rejection Details": "Ret Ayrıntıları",
    "Useful later — recurring rejection reasons become easy to spot.":
        "Sonra işe yarar — tekrarlayan ret nedenleri kolayca göze çarpar.",
    "Rejection Reason": "Ret Nedeni",
    "Describe the rejection in your own words": "Reddi kendi sözlerinizle anlatın",
    "Details": "Ayrıntılar",
    "Rejection Channel": "Ret Kanalı",
    "Not specified": "Belirtilmedi",
    "—": "—",
    "Currency": "Para Birimi",
    "Salary": "Maaş",
    "Expected Salary": "Beklenen Maaş",
    "Offered Salary": "Teklif Edilen Maaş",
    "Figures stay on this Mac, in a local database.": "Rakamlar bu Mac'te, yerel bir veritabanında kalır.",
    "Figures stay on this computer, in a local database.": "Rakamlar bu bilgisayarda, yerel bir veritabanında kalır.",
    "Difference": "Fark",
    "History": "Geçmiş",
    "In this stage": "Bu aşamada",
    "%lld days": "%lld gün",
    "No status changes yet.": "Henüz durum değişikliği yok.",
    "This image is too large for a screenshot (more than 40 million pixels), so it was not read.":
        "Bu görüntü bir ekran görüntüsü için fazla büyük (40 milyon pikselden fazla), bu yüzden okunmadı.",
    "Review Detected Applications": "Algılanan Başvuruları Gözden Geçir",
    "Check what was detected, fix anything wrong, then add. Nothing is saved until you do.":
        "Algılananları kontrol edin, yanlışları düzeltin, sonra ekleyin. Siz ekleyene kadar hiçbir şey kaydedilmez.",
    "Reading screenshots…": "Ekran görüntüleri okunuyor…",
    "Nothing could be read": "Hiçbir şey okunamadı",
    "No job posting fields were found in these screenshots. Try a shot that includes the job title and company name.":
        "Bu ekran görüntülerinde iş ilanı bilgisi bulunamadı. İş unvanını ve şirket adını içeren bir görüntü deneyin.",
    "Reading…": "Okunuyor…",
    "Add %n Applications": "%n Başvuru Ekle",
    "Include this application": "Bu başvuruyu ekle",
    "Needs review": "Gözden geçirin",
    "Check this": "Kontrol edin",
    "Confident": "Emin",
    "Detected from: ": "Şuradan algılandı: ",
    "Not detected — fill this in yourself": "Algılanamadı — bunu kendiniz doldurun",
    "Use “%1”": "“%1” kullan",
    "From: ": "Kaynak: ",
    "Already in your list — applied %1, %2": "Listenizde zaten var — %1 tarihinde başvuruldu, %2",
    "Show it in the list": "Listede göster",
    "JSON files (*.json)": "JSON dosyaları (*.json)",
    "Export Backup": "Yedeği Dışa Aktar",
    "Import Backup": "Yedeği İçe Aktar",
    "Backup": "Yedek",
    "OK": "Tamam",
    "Images (%1)": "Görüntüler (%1)",
    "Add from Screenshot": "Ekran Görüntüsünden Ekle",
    "Add or cancel these first, then paste the next posting.":
        "Önce bunları ekleyin ya da vazgeçin, sonra sıradaki ilanı yapıştırın.",
    "Add or cancel these first, then drop the new screenshots.":
        "Önce bunları ekleyin ya da vazgeçin, sonra yeni ekran görüntülerini bırakın.",
    # Insights, the spreadsheet export and follow-up reminders.
    "&View": "&Görünüm",
    # Menu entries with their access keys, one per letter in each menu.
    "&New Application": "&Yeni Başvuru",
    "&Save": "&Kaydet",
    "&Add from Screenshot…": "&Ekran Görüntüsünden Ekle…",
    "&Paste Job Posting": "İş İlanını Ya&pıştır",
    "&Import…": "İçe &Aktar…",
    "&Export…": "&Dışa Aktar…",
    "Export as Sp&readsheet…": "&Tablo Olarak Dışa Aktar…",
    "&Delete Application…": "Başvuruyu &Sil…",
    "&Insights": "Ö&ngörüler",
    "Follow-up &Notifications": "Takip &Bildirimleri",
    "Insights": "Öngörüler",
    "Export as Spreadsheet…": "Tablo Olarak Dışa Aktar…",
    "Export as Spreadsheet": "Tablo Olarak Dışa Aktar",
    "Applications, one row each (*.csv)": "Başvurular, her biri bir satır (*.csv)",
    "Status history, one row per change (*.csv)": "Durum geçmişi, her değişiklik bir satır (*.csv)",
    "ID": "Kimlik",
    "Status Date": "Durum Tarihi",
    "Closing Date": "Kapanış Tarihi",
    "Rejected by Email": "E-postayla Reddedildi",
    "Rejected by Phone": "Telefonla Reddedildi",
    "Rejection Note": "Ret Notu",
    "Tech Interviewer Role": "Teknik Mülakatçı Rolü",
    "Starred": "Yıldızlı",
    "Created On": "Oluşturulma Tarihi",
    "Last Changed": "Son Değişiklik",
    "%1 on": "%1 (tarih)",
    "Date": "Tarih",
    "From": "Önceki Durum",
    "To": "Yeni Durum",
    "Yes": "Evet",
    "No": "Hayır",
    "Follow-up Notifications": "Takip Bildirimleri",
    "Show": "Göster",
    "1 follow-up due today": "Bugün 1 takip zamanı geldi",
    "%1 follow-ups due today": "Bugün %1 takibin zamanı geldi",
    "%1 and %2 more": "%1 ve %2 başvuru daha",
    "Only what the list shows": "Yalnızca listede görünenler",
    "Count only the applications the list shows with its filter and search":
        "Yalnızca listenin filtresi ve aramasıyla görünen başvuruları say",
    "of 1 application": "1 başvurudan",
    "of %1 applications": "%1 başvurudan",
    "%1, as the list shows them": "%1, listede görüldüğü gibi",
    "Not enough applications yet": "Henüz yeterli başvuru yok",
    "There are none to count yet.": "Henüz sayılacak başvuru yok.",
    "There is 1 so far.": "Şimdiye kadar 1 başvuru var.",
    "There are %1 so far.": "Şimdiye kadar %1 başvuru var.",
    "Insights need at least %1 applications before their figures mean something.":
        "Öngörülerin rakamlarının bir anlam taşıması için en az %1 başvuru gerekir.",
    "%1%": "%%1",
    "1 day": "1 gün",
    "%1 days": "%1 gün",
    "How far applications got": "Başvurular ne kadar ilerledi",
    "Counted from each application's history: a stage passed on the way still counts.":
        "Her başvurunun geçmişinden sayılır: yolda geçilen bir aşama da sayılır.",
    "%1 of the stage before": "önceki aşamadan %1",
    "Answers": "Yanıtlar",
    "An answer is any change from “Applied”, a rejection included; days run from the application date.":
        "Yanıt, “Başvuruldu” durumundan her değişikliktir, ret de dahil; günler başvuru tarihinden sayılır.",
    "Last 30 days": "Son 30 gün",
    "Last 90 days": "Son 90 gün",
    "All time": "Tüm zamanlar",
    "%1 of %2 answered": "%2 başvurudan %1 yanıt",
    "median %1 to the first answer": "ilk yanıta kadar ortanca %1",
    "no answers yet": "henüz yanıt yok",
    "Applications per week": "Haftalık başvurular",
    "The last twelve weeks.": "Son on iki hafta.",
    "MMM d": "d MMM",
    "This week": "Bu hafta",
    "Why applications ended": "Başvurular neden sonlandı",
    "1 rejection": "1 ret",
    "%1 rejections": "%1 ret",
    "No rejections so far.": "Şimdiye kadar ret yok.",
    "No reason given": "Neden belirtilmedi",
    "Reason": "Neden",
    "Stage it ended in": "Sonlandığı aşama",
    "Work model and job board": "Çalışma modeli ve iş ilanı sitesi",
    "The job board is read from the posting link.": "İlan sitesi, ilan bağlantısından okunur.",
    "Sent": "Gönderilen",
    "Answered": "Yanıtlanan",
    "Work model": "Çalışma modeli",
    "Job board": "İlan sitesi",
    "Other sites": "Diğer siteler",
    "No link": "Bağlantı yok",
    "&Help": "&Yardım",
    "&About Applywright": "Applywright &Hakkında",
    "About Applywright": "Applywright Hakkında",
    "Version %1": "Sürüm %1",
    "Keeps track of every job application, its status and its follow-ups.":
        "Her iş başvurusunu, durumunu ve takiplerini izler.",
    "Data folder": "Veri klasörü",
    "Licence": "Lisans",
    "The icons are Phosphor Icons, under this licence:": "Simgeler Phosphor Icons'tır ve şu lisansla kullanılır:",
    # Mail import
    "Import &Mail…": "E-po&stayı İçe Aktar…",
    "Import Mail": "E-postayı İçe Aktar",
    "Mail (*.eml *.mbox)": "E-posta (*.eml *.mbox)",
    "Dropped text": "Bırakılan metin",
    "This file could not be opened.": "Bu dosya açılamadı.",
    "This file is not an e-mail message.": "Bu dosya bir e-posta iletisi değil.",
    "This message is too large to read (over %1 MB).": "Bu ileti okunamayacak kadar büyük (%1 MB'tan fazla).",
    "This message has too many parts to read.": "Bu iletide okunamayacak kadar çok bölüm var.",
    "This message is forwarded or nested too deeply to read.":
        "Bu ileti okunamayacak kadar çok kez iletilmiş ya da iç içe geçmiş.",
    "The text of this message is too long to read.": "Bu iletinin metni okunamayacak kadar uzun.",
    "The text of this message could not be decoded.": "Bu iletinin metni çözülemedi.",
    "No readable text was found in this message.": "Bu iletide okunabilir bir metin bulunamadı.",
    "Reading this message took too long.": "Bu iletiyi okumak çok uzun sürdü.",
    "Only the first %1 messages of this mailbox were read.": "Bu posta kutusunun yalnızca ilk %1 iletisi okundu.",
    "The sender is the application's HR contact": "Gönderen, başvurunun İK iletişim kişisi",
    "Sent from the posting's domain, %1": "İlanın alan adından gönderilmiş: %1",
    "Sent from %1": "%1 alan adından gönderilmiş",
    "Named in the applicant-tracking address: %1": "Aday takip sisteminin adresinde geçiyor: %1",
    "Sender's name: %1": "Gönderenin adı: %1",
    "Named in the subject": "Konuda geçiyor",
    "Named in the text": "Metinde geçiyor",
    "The posting's job number is in the message": "İlanın numarası iletide geçiyor",
    "The position is in the message": "Pozisyon iletide geçiyor",
    "%n applications at %1; nothing in the message says which":
        "%1 şirketinde %n başvuru var; iletide hangisi olduğu yazmıyor",
    "Rejection": "Ret",
    "Interview invitation": "Mülakat daveti",
    "Application received": "Başvuru alındı",
    "Not about an application": "Bir başvuruyla ilgili değil",
    "%1 — %2": "%1 — %2",
    "Include this change": "Bu değişikliği dahil et",
    "No date": "Tarih yok",
    "(no subject)": "(konu yok)",
    "Not in your list": "Listenizde yok",
    "Create Application": "Başvuru Oluştur",
    "Cancel New Application": "Yeni Başvurudan Vazgeç",
    "Company of the new application": "Yeni başvurunun şirketi",
    "“%1”": "“%1”",
    "Change": "Değişiklik",
    "Read from": "Okunduğu yer",
    "Choose an application…": "Bir başvuru seçin…",
    "A new application, with this change": "Bu değişiklikle yeni bir başvuru",
    "A new application, dated when the message was sent": "İletinin gönderildiği günle tarihlenen yeni bir başvuru",
    "An unusual step back: tick it if it is right": "Alışılmadık bir geri adım: doğruysa işaretleyin",
    "No change: the application was received": "Değişiklik yok: başvuru alınmış",
    "Nothing to change": "Değiştirilecek bir şey yok",
    "Already %1: nothing to change": "Zaten %1: değiştirilecek bir şey yok",
    "Nothing to change: the application moved on after this message":
        "Değiştirilecek bir şey yok: başvuru bu iletiden sonra ilerlemiş",
    "Nothing to change: the application is already at %1": "Değiştirilecek bir şey yok: başvuru zaten %1 aşamasında",
    "Choose the application this message is about": "Bu iletinin hangi başvuruyla ilgili olduğunu seçin",
    "Create the application to record this message": "Bu iletiyi kaydetmek için başvuruyu oluşturun",
    "Reason: %1": "Neden: %1",
    "Review Mail Updates": "E-posta Güncellemelerini Gözden Geçir",
    "Apply %n Changes": "%n Değişikliği Uygula",
    "Check which application each message is about and what it changes. Nothing changes until you apply.":
        "Her iletinin hangi başvuruyla ilgili olduğunu ve neyi değiştirdiğini kontrol edin. Siz uygulayana kadar "
        "hiçbir şey değişmez.",
    "Reading messages…": "İletiler okunuyor…",
    "No messages could be read": "Hiçbir ileti okunamadı",
    "Drop messages saved from your mail program (.eml), a mailbox export (.mbox), or paste a message with its headers.":
        "E-posta programınızdan kaydettiğiniz iletileri (.eml) ya da bir posta kutusu dışa aktarımını (.mbox) bırakın "
        "veya bir iletiyi üst bilgileriyle birlikte yapıştırın.",
}


def main(path):
    tree = ET.parse(path)
    missing = []
    for message in tree.getroot().iter("message"):
        source = message.find("source").text or ""
        translation = message.find("translation")
        if source in TURKISH:
            # Turkish has one plural form: every numerus form gets the same text.
            forms = translation.findall("numerusform")
            if forms:
                for form in forms:
                    form.text = TURKISH[source]
            else:
                translation.text = TURKISH[source]
            translation.attrib.pop("type", None)
        else:
            missing.append(source)
    tree.write(path, encoding="utf-8", xml_declaration=True)
    for source in missing:
        print("untranslated:", source, file=sys.stderr)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "resources/translations/applywright_tr.ts")
